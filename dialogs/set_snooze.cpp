// Set Snooze: the snooze length on the time spinner. Zero is no snooze at
// all, so it becomes five minutes, and the user is told.
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "dialogs/time_spinner.h"
#include "resources/dialog_resources.h"
#include "store/settings.h"

namespace {

constexpr DWORD ZERO_SNOOZE_REPLACEMENT = 5;

HFONT digit_font;

void close_snooze(HWND dialog, INT_PTR result) {
    if (digit_font) DeleteObject(digit_font);
    digit_font = nullptr;
    EndDialog(dialog, result);
}

void on_ok(HWND dialog) {
    Settings.SnoozeTime = spinner_read(dialog);
    if (Settings.SnoozeTime == 0) {
        MessageBoxW(dialog,
                    L"A snooze time of zero minutes is not valid.  The snooze time has been reset to 5 minutes.",
                    L"Set Snooze Time", MB_OK | MB_ICONEXCLAMATION);
        Settings.SnoozeTime = ZERO_SNOOZE_REPLACEMENT;
    }
    close_snooze(dialog, IDOK);
}

INT_PTR snooze_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            digit_font = spinner_create_font(dialog);
            start_full_screen(dialog, IDB_OK_CANCEL);
            spinner_show(dialog, Settings.SnoozeTime);
            SetFocus(dialog);
            return FALSE;
        case WM_COMMAND:
            if (spinner_command(dialog, LOWORD(wparam), HIWORD(wparam))) return TRUE;
            if (LOWORD(wparam) == IDOK) on_ok(dialog);
            if (LOWORD(wparam) == IDCANCEL) close_snooze(dialog, IDCANCEL);
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_set_snooze(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SET_SNOOZE), owner, snooze_proc, 0);
}

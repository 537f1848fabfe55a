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

void on_ok(HWND dialog) {
    Settings.SnoozeTime = spinner_read(dialog);
    if (Settings.SnoozeTime == 0) {
        MessageBoxW(dialog,
                    L"A snooze time of zero minutes is not valid.  The snooze time has been reset to 5 minutes.",
                    L"Set Snooze Time", MB_OK | MB_ICONEXCLAMATION);
        Settings.SnoozeTime = ZERO_SNOOZE_REPLACEMENT;
    }
    EndDialog(dialog, IDOK);
}

void on_command(HWND dialog, int id, int) {
    if (id == IDOK) on_ok(dialog);
    if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
}

INT_PTR snooze_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_INITDIALOG)
        return spinner_dialog_message(dialog, message, wparam, lparam, &digit_font, on_command);
    digit_font = spinner_create_font(dialog);
    start_full_screen(dialog, IDB_OK_CANCEL);
    spinner_show(dialog, Settings.SnoozeTime);
    SetFocus(dialog);
    return FALSE;
}

}  // namespace

INT_PTR run_set_snooze(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SET_SNOOZE), owner, snooze_proc, 0);
}

// Countdown: how long, which sound rings at the end and whether the device
// stays awake meanwhile. "Start" stores the length and the choice; the
// caller then arms the countdown. Each opening offers half an hour.
#include "app/clock_face.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "dialogs/sound_line.h"
#include "dialogs/time_spinner.h"
#include "resources/dialog_resources.h"
#include "sound/ringing.h"
#include "store/settings.h"

namespace {

constexpr DWORD OFFERED_MINUTES = 30;

HFONT digit_font;

void on_init(HWND dialog) {
    start_full_screen(dialog, IDB_START_CANCEL);
    digit_font = spinner_create_font(dialog);
    spinner_show(dialog, OFFERED_MINUTES);
    show_sound_line(dialog, IDC_COUNTDOWN_SOUND, Settings.CountdownSound);
    CheckDlgButton(dialog, IDC_KEEP_AWAKE, Settings.CountdownKeepAwake ? BST_CHECKED : BST_UNCHECKED);
}

void on_test(HWND dialog) {
    run_countdown_ringing(dialog, screen_layout());
    bring_to_front(dialog);
}

void on_start(HWND dialog) {
    DWORD minutes = spinner_read(dialog);
    if (minutes == 0) {
        MessageBoxW(nullptr, L"The countdown time must be greater than zero", L"Error", MB_OK);
        return;
    }
    Settings.CountdownTime = minutes;
    Settings.CountdownKeepAwake = IsDlgButtonChecked(dialog, IDC_KEEP_AWAKE) == BST_CHECKED ? 1 : 0;
    EndDialog(dialog, IDC_START);
}

void on_command(HWND dialog, int id, int code) {
    switch (id) {
        case IDC_BROWSE:
            if (code == BN_CLICKED) browse_sound_line(dialog, IDC_COUNTDOWN_SOUND, Settings.CountdownSound);
            break;
        case IDC_TEST:
            if (code == BN_CLICKED) on_test(dialog);
            break;
        case IDC_START:
            on_start(dialog);
            break;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        default:
            break;
    }
}

INT_PTR countdown_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_INITDIALOG)
        return spinner_dialog_message(dialog, message, wparam, lparam, &digit_font, on_command);
    on_init(dialog);
    return TRUE;
}

}  // namespace

INT_PTR run_countdown(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_COUNTDOWN), owner, countdown_proc, 0);
}

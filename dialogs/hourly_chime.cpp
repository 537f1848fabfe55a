// Hourly Chime: the chime on or off and its sound; "Test" plays the sound
// once, for a few seconds at most.
#include "app/main_window.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "dialogs/sound_line.h"
#include "resources/dialog_resources.h"
#include "sound/chime_program.h"
#include "sound/chime_sound.h"
#include "sound/sound_player.h"
#include "store/settings.h"

namespace {

// 21 looks 200 ms apart: a long chime is cut after about 4.2 seconds.
constexpr DWORD TEST_LIMIT_MS = 21 * CHIME_LOOK_MS;

void on_init(HWND dialog) {
    start_full_screen(dialog, IDB_OK_CANCEL);
    show_sound_line(dialog, IDC_CHIME_SOUND, Settings.ChimeSound);
    CheckDlgButton(dialog, IDC_CHIME_ON, Settings.Chime ? BST_CHECKED : BST_UNCHECKED);
}

// Blocks the dialog while the sound plays.
void on_test(HWND dialog) {
    WCHAR path[MAX_PATH];
    if (choose_chime_sound(MainWindow.window, path)) {
        if (PlayOnce(path)) wait_for_chime_end(TEST_LIMIT_MS);
        CloseOnce();
        ReleaseSoundLibrary();
    }
    bring_to_front(dialog);
}

INT_PTR chime_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_BROWSE:
                    if (HIWORD(wparam) == BN_CLICKED) browse_sound_line(dialog, IDC_CHIME_SOUND, Settings.ChimeSound);
                    break;
                case IDC_TEST:
                    if (HIWORD(wparam) == BN_CLICKED) on_test(dialog);
                    break;
                case IDOK:
                    Settings.Chime = IsDlgButtonChecked(dialog, IDC_CHIME_ON) == BST_CHECKED ? 1 : 0;
                    EndDialog(dialog, IDOK);
                    break;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    break;
                default:
                    break;
            }
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_hourly_chime(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_HOURLY_CHIME), owner, chime_proc, 0);
}

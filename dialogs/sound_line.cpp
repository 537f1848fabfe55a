#include "dialogs/sound_line.h"

#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"

void show_sound_line(HWND dialog, int id, LPCWSTR sound) {
    if (sound[0])
        set_fitted_text(dialog, id, last_component(sound));
    else
        SetDlgItemTextW(dialog, id, L"<default sound>");
}

void browse_sound_line(HWND dialog, int id, LPWSTR sound) {
    if (run_select_sound(dialog, BROWSE_SOUNDS) == IDOK) {
        swprintf(sound, MAX_PATH, L"%ls", Browsers.sound_path);
        SetDlgItemTextW(dialog, id, last_component(sound));
    }
    bring_to_front(dialog);
}

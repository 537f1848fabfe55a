// A rotation or another screen: the face is laid out anew only when the
// layout changes, so that a size message alone costs nothing.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "sound/sound_player.h"

void on_screen_change(void) {
    int type = screen_layout();
    if (type == MainWindow.screen_type) return;
    MainWindow.screen_type = type;
    release_images();
    compute_layout();
    load_images(MainWindow.instance);
    destroy_labels();
    create_labels();
    if (MainWindow.mode == MODE_SLEEP) {
        SoundPlayer.SongChanged = 1;
        refresh_sleep_lines();
    }
    InvalidateRect(MainWindow.window, nullptr, TRUE);
}

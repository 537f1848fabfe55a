#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "app/window_modes.h"

void set_mode(int mode) {
    if (mode == MODE_CLOCK || mode == MODE_COUNTDOWN) reset_tick_cache();
    if (mode == MODE_SLEEP) {
        SleepMode.SleepPaused = 0;
        SleepMode.SavedTimeLeft[0] = L'\0';
    }
    destroy_labels();
    MainWindow.mode = mode;
    create_labels();
}

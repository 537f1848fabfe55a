// The Countdown mode: the digits show the time left until the countdown's
// event. Leaving it ends the countdown.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/window_modes.h"
#include "store/scheduling.h"
#include "store/settings.h"

void leave_countdown(void) {
    Settings.Countdown = 0;
    if (MainWindow.mode != MODE_COUNTDOWN) return;
    clear_countdown();
    save_countdown_settings();
    set_mode(MODE_CLOCK);
    // The banner above the face goes with the countdown's digits.
    RECT face = {Layout.face_left, Layout.face_top, Layout.face_left + Layout.face_width, Layout.face_bottom};
    RECT banner = banner_rect(), area;
    UnionRect(&area, &face, &banner);
    InvalidateRect(MainWindow.window, &area, TRUE);
}

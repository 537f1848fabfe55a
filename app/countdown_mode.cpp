// The Countdown mode: the digits show the time left until the countdown's
// event. Leaving it ends the countdown.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/window_modes.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

// The banner above the face comes and goes with the countdown's digits.
void repaint_face_and_banner(void) {
    RECT face = {Layout.face_left, Layout.face_top, Layout.face_left + Layout.face_width, Layout.face_bottom};
    RECT banner = banner_rect(), area;
    UnionRect(&area, &face, &banner);
    InvalidateRect(MainWindow.window, &area, TRUE);
}

}  // namespace

// A countdown whose request could not be registered would never ring; its
// failure box has been shown and the clock stays as it was.
void enter_countdown(void) {
    if (!start_countdown(MainWindow.window)) return;
    Settings.Countdown = 1;
    save_countdown_settings();
    set_mode(MODE_COUNTDOWN);
    repaint_face_and_banner();
}

void leave_countdown(void) {
    Settings.Countdown = 0;
    if (MainWindow.mode != MODE_COUNTDOWN) return;
    clear_countdown();
    save_countdown_settings();
    set_mode(MODE_CLOCK);
    repaint_face_and_banner();
}

#include "app/main_window.h"
#include "app/status_labels.h"
#include "app/window_modes.h"

void begin_close(void) {
    if (MainWindow.Closing) return;
    KillTimer(MainWindow.window, TICK_TIMER_ID);
    MainWindow.Closing = 1;
    if (MainWindow.mode == MODE_SLEEP) leave_sleep();
    destroy_labels();
    DestroyWindow(MainWindow.window);
}

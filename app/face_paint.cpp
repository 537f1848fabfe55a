// Painting the whole face: the background, the next alarm, the bell, and a
// tick from a clean cache so that every part is drawn again.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "store/settings.h"

void paint_face(void) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(MainWindow.window, &ps);
    if (Images.background)
        BitBlt(dc, 0, 0, Layout.client_width, Layout.client_height, Images.background_dc, 0, 0, SRCCOPY);
    else
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (MainWindow.mode == MODE_CLOCK || MainWindow.mode == MODE_COUNTDOWN) refresh_next_alarm();
    if (Settings.Silenced) draw_bell();
    reset_tick_cache();
    tick();
    EndPaint(MainWindow.window, &ps);
    // The labels share the window's pixels; the background just covered them.
    redraw_labels();
}

// A new clock colour: the images are tinted anew and the face is painted
// again, at once, even while a dialog is still open over it.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "store/settings.h"

void recolour_face(COLORREF colour) {
    Settings.Color = colour;
    if (!MainWindow.window) return;
    load_images(MainWindow.instance);
    redraw_labels();
    InvalidateRect(MainWindow.window, nullptr, TRUE);
}

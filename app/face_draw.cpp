// Drawing one part of the face straight onto the window, outside painting:
// the background under it is put back, then its image drawn over it with
// black transparent.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "store/settings.h"

namespace {

const LayoutImages &current_images(void) { return Images.layouts[layout_index(Layout.selector)]; }

// The image is drawn from the target's top-left corner, no further than the
// target, and only inside the client area: the small screen's AM/PM strip
// is wider than the screen.
void draw_image(RECT target, HBITMAP image) {
    if (!Images.loaded) return;
    RECT client = {0, 0, Layout.client_width, Layout.client_height}, area;
    if (!IntersectRect(&area, &target, &client)) return;
    HDC dc = GetDC(MainWindow.window);
    BitBlt(dc, int(area.left), int(area.top), int(area.right - area.left), int(area.bottom - area.top),
           Images.background_dc, int(area.left), int(area.top), SRCCOPY);
    BITMAP size;
    if (image && GetObjectW(image, sizeof size, &size)) {
        RECT drawn = {target.left, target.top, target.left + size.bmWidth, target.top + size.bmHeight};
        if (IntersectRect(&drawn, &drawn, &area)) {
            HGDIOBJ old = SelectObject(Images.image_dc, image);
            int width = int(drawn.right - drawn.left), height = int(drawn.bottom - drawn.top);
            TransparentImage(dc, int(drawn.left), int(drawn.top), width, height, Images.image_dc,
                             int(drawn.left - target.left), int(drawn.top - target.top), width, height, RGB(0, 0, 0));
            SelectObject(Images.image_dc, old);
        }
    }
    ReleaseDC(MainWindow.window, dc);
}

RECT slot_rect(int slot) {
    const DigitSlot &s = Slots[slot];
    return {s.x, s.y, s.x + s.width, s.y + s.height};
}

bool bell_overlaps_strip(void) {
    RECT strip = am_pm_rect(), bell = bell_rect(), both;
    return IntersectRect(&both, &strip, &bell) != FALSE;
}

}  // namespace

void draw_slot(int slot, int value) {
    if (slot < 0 || slot >= SLOT_COUNT) return;
    const LayoutImages &images = current_images();
    HBITMAP image = nullptr;
    if (slot == SLOT_COLON)
        image = value == 1 ? images.colon_shown : images.colon_hidden;
    else if (slot == SLOT_HOUR_TENS && value == 0 && !Settings.TwentyFourHourTime && MainWindow.mode != MODE_COUNTDOWN)
        image = images.blank;
    else if (value >= 0 && value <= 9)
        image = images.digits[value];
    draw_image(slot_rect(slot), image);
}

void draw_am_pm(int pm) {
    const LayoutImages &images = current_images();
    draw_image(am_pm_rect(), pm ? images.pm : images.am);
    // On the small screen the strip's background covers the bell's top rows.
    if (Settings.Silenced && bell_overlaps_strip()) draw_bell();
}

void draw_countdown_banner(void) {
    if (Layout.banner_width == 0) return;
    draw_image(banner_rect(), current_images().banner);
}

void draw_bell(void) { draw_image(bell_rect(), Images.bell); }

// Composing the frame: the title bar with the foreground window's title, the
// soft-key area, every shown top-level window in z-order, and the hourglass
// while the wait cursor is up.
#include "platform/gdi/gdi_internal.h"
#include "platform/screen/look.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

constexpr int HOURGLASS_W = 20;
constexpr int HOURGLASS_H = 28;

// A bar shows only while the window it belongs to shows.
bool composed(const Window *w) {
    if (!(w->style & WS_VISIBLE) || !w->remote.empty() || !w->pixels) return false;
    if (!(w->ex_style & WS_EX_NOACTIVATE) || !w->owner) return true;
    const Window *owner = window_get(w->owner);
    return owner && (owner->style & WS_VISIBLE);
}

void draw_title(HDC dc) {
    RECT title;
    screen_title_area(&title);
    look_fill(dc, title, LOOK_TITLE);
    Window *fg = window_get(window_table().foreground);
    if (!fg || !(fg->style & WS_VISIBLE)) return;
    InflateRect(&title, -4, 0);
    SelectObject(dc, look_font(true));
    look_text(dc, title, fg->title.c_str(), LOOK_BAR_TEXT, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
}

// Two glass bulbs between two bars, sand in the lower one.
void draw_hourglass(Surface &frame) {
    RECT all = {0, 0, frame.width, frame.height};
    int left = (frame.width - HOURGLASS_W) / 2, top = (frame.height - HOURGLASS_H) / 2;
    int mid = HOURGLASS_H / 2;
    for (int y = 0; y < HOURGLASS_H; y++) {
        RECT row = {left, top + y, left + HOURGLASS_W, top + y + 1};
        if (y < 3 || y >= HOURGLASS_H - 3) {
            paint_fill(frame, row, all, RGB(0, 0, 0));
            continue;
        }
        int from_mid = y < mid ? mid - y : y - mid + 1;
        int half = 2 + (HOURGLASS_W / 2 - 3) * from_mid / (mid - 2);
        RECT glass = {left + HOURGLASS_W / 2 - half, top + y, left + HOURGLASS_W / 2 + half, top + y + 1};
        paint_fill(frame, glass, all, RGB(0, 0, 0));
        InflateRect(&glass, -1, 0);
        bool sand = y > mid + 3 || (y < mid && y > mid - 4);
        paint_fill(frame, glass, all, sand ? RGB(230, 180, 60) : RGB(255, 255, 255));
    }
}

}  // namespace

void screen_compose(void) {
    Surface &frame = *screen_frame();
    RECT all = {0, 0, frame.width, frame.height}, keys, work;
    screen_softkey_area(&keys);
    screen_work_area(&work);
    paint_fill(frame, work, all, RGB(0, 0, 0));
    paint_fill(frame, keys, all, LOOK_BAR);
    HDC dc = GetDC(nullptr);
    draw_title(dc);
    ReleaseDC(nullptr, dc);
    for (HWND h : window_table().top_levels) {
        Window *w = window_get(h);
        if (!w || !composed(w)) continue;
        const Surface &p = *w->pixels;
        RECT from = {0, 0, p.width, p.height};
        paint_copy(frame, int(w->rect.left), int(w->rect.top), p, from, all, nullptr);
    }
    if (screen_waiting()) draw_hourglass(frame);
}

}  // namespace plat

// Composing the frame: the title bar with the foreground window's title, the
// soft-key area, every shown top-level window in z-order, and the hourglass
// while the wait cursor is up. Only what changed is composed again: the box
// the windows drew in since the last time, or the whole frame once windows
// were shown, hidden, moved, restacked or retitled, or the screen asked for
// it (a new size, the wait cursor).
#include "platform/gdi/gdi_internal.h"
#include "platform/screen/look.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

constexpr int HOURGLASS_W = 20;
constexpr int HOURGLASS_H = 28;

// What changed since the frame was last composed.
struct Composed {
    bool whole = true;                // compose everything next time
    RECT damage = {0, 0, 0, 0};       // drawn since the last compose, screen coordinates
    RECT unpresented = {0, 0, 0, 0};  // composed since the last present
};

Composed &composed_state() {
    static Composed c;
    return c;
}

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
void draw_hourglass(Surface &frame, const RECT &clip) {
    int left = (frame.width - HOURGLASS_W) / 2, top = (frame.height - HOURGLASS_H) / 2;
    int mid = HOURGLASS_H / 2;
    for (int y = 0; y < HOURGLASS_H; y++) {
        RECT row = {left, top + y, left + HOURGLASS_W, top + y + 1};
        if (y < 3 || y >= HOURGLASS_H - 3) {
            paint_fill(frame, row, clip, RGB(0, 0, 0));
            continue;
        }
        int from_mid = y < mid ? mid - y : y - mid + 1;
        int half = 2 + (HOURGLASS_W / 2 - 3) * from_mid / (mid - 2);
        RECT glass = {left + HOURGLASS_W / 2 - half, top + y, left + HOURGLASS_W / 2 + half, top + y + 1};
        paint_fill(frame, glass, clip, RGB(0, 0, 0));
        InflateRect(&glass, -1, 0);
        bool sand = y > mid + 3 || (y < mid && y > mid - 4);
        paint_fill(frame, glass, clip, sand ? RGB(230, 180, 60) : RGB(255, 255, 255));
    }
}

// Composes `box` of the frame; the title bar goes whole or not at all, since
// its text is laid out on the whole bar. Returns the box composed.
RECT compose_box(Surface &frame, RECT box) {
    RECT title, keys, work, overlap;
    screen_title_area(&title);
    screen_softkey_area(&keys);
    screen_work_area(&work);
    bool with_title = IntersectRect(&overlap, &box, &title) != FALSE;
    if (with_title) UnionRect(&box, &box, &title);
    paint_fill(frame, work, box, RGB(0, 0, 0));
    paint_fill(frame, keys, box, LOOK_BAR);
    if (with_title) {
        HDC dc = GetDC(nullptr);
        draw_title(dc);
        ReleaseDC(nullptr, dc);
    }
    for (HWND h : window_table().top_levels) {
        Window *w = window_get(h);
        if (!w || !composed(w)) continue;
        const Surface &p = *w->pixels;
        RECT from = {0, 0, p.width, p.height};
        paint_copy(frame, int(w->rect.left), int(w->rect.top), p, from, box, nullptr);
    }
    if (screen_waiting()) draw_hourglass(frame, box);
    return box;
}

}  // namespace

void screen_touch(void) { composed_state().whole = true; }

void screen_touch_area(const RECT &area) {
    RECT &damage = composed_state().damage;
    UnionRect(&damage, &damage, &area);
}

bool screen_stale(void) {
    const Composed &c = composed_state();
    return c.whole || !IsRectEmpty(&c.damage) || window_table().layout_changed;
}

// O(pixels composed): a tick that changes one digit composes that digit's box.
void screen_compose(void) {
    Composed &c = composed_state();
    Surface &frame = *screen_frame();
    RECT all = {0, 0, frame.width, frame.height}, box = {0, 0, 0, 0};
    if (c.whole || window_table().layout_changed)
        box = all;
    else
        IntersectRect(&box, &c.damage, &all);
    if (!IsRectEmpty(&box)) {
        RECT done = compose_box(frame, box);
        UnionRect(&c.unpresented, &c.unpresented, &done);
    }
    // Drawing the title above reported itself; it is composed already.
    c.whole = false;
    SetRectEmpty(&c.damage);
    window_table().layout_changed = false;
}

bool screen_take_unpresented(RECT *box) {
    Composed &c = composed_state();
    *box = c.unpresented;
    SetRectEmpty(&c.unpresented);
    return !IsRectEmpty(box);
}

}  // namespace plat

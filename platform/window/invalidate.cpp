// Update regions. Each window keeps the bounding box of what must be
// repainted; the message loop turns it into one WM_PAINT per loop turn.
#include "platform/window/window_internal.h"

using plat::Window;

namespace {

void invalidate(Window *w, const RECT *rect, bool erase) {
    RECT client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    RECT area = client;
    if (rect && !IntersectRect(&area, rect, &client)) return;
    if (IsRectEmpty(&area)) return;
    if (w->dirty)
        UnionRect(&w->invalid, &w->invalid, &area);
    else
        w->invalid = area;
    w->dirty = true;
    w->erase = w->erase || erase;
    // Children paint after their parent, over what it drew.
    for (HWND child : w->children) {
        Window *c = plat::window_get(child);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        RECT in_child = area;
        OffsetRect(&in_child, -c->rect.left, -c->rect.top);
        invalidate(c, &in_child, erase);
    }
}

}  // namespace

BOOL InvalidateRect(HWND handle, const RECT *rect, BOOL erase) {
    if (!handle) {
        std::vector<HWND> tops = plat::window_table().top_levels;
        for (HWND top : tops) InvalidateRect(top, nullptr, erase);
        return TRUE;
    }
    Window *w = plat::window_get(handle);
    if (!w || !w->remote.empty()) return FALSE;
    invalidate(w, rect, erase);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT *rect) {
    Window *w = plat::window_get(handle);
    if (!w || !w->remote.empty()) return FALSE;
    RECT covered;
    if (!rect || (UnionRect(&covered, rect, &w->invalid) && EqualRect(&covered, rect))) {
        w->dirty = false;
        w->erase = false;
        SetRectEmpty(&w->invalid);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND handle) {
    Window *w = plat::window_get(handle);
    if (!w || !w->remote.empty()) return FALSE;
    if (w->dirty && IsWindowVisible(handle)) SendMessageW(handle, WM_PAINT, 0, 0);
    w = plat::window_get(handle);
    if (!w) return TRUE;
    std::vector<HWND> children = w->children;
    for (HWND child : children) UpdateWindow(child);
    return TRUE;
}

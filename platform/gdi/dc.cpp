// Device contexts: on a window (its client area, inside its parents), on the
// whole screen, or on a memory bitmap. A released or deleted DC is refused.
#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

// A window's client area in its top-level window's pixels, clipped by every
// parent on the way up.
bool window_target(HWND handle, DcTarget *out) {
    Window *w = window_get(handle);
    if (!w || !w->remote.empty()) return false;
    RECT clip = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    POINT origin = {0, 0};
    while (w->parent) {
        OffsetRect(&clip, w->rect.left, w->rect.top);
        origin.x += w->rect.left;
        origin.y += w->rect.top;
        w = window_get(w->parent);
        if (!w) return false;
        RECT parent_client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
        IntersectRect(&clip, &clip, &parent_client);
    }
    out->surface = screen_window_pixels(w);
    out->origin = origin;
    out->clip = clip;
    out->on_screen = (w->style & WS_VISIBLE) != 0;
    out->screen_at = {w->rect.left, w->rect.top};
    return out->surface != nullptr;
}

}  // namespace

bool dc_target(DeviceContext *dc, DcTarget *out) {
    if (!dc) return false;
    switch (dc->kind) {
    case DeviceContext::WINDOW:
        if (!window_target(dc->window, out)) return false;
        if (dc->painting) {
            RECT area = dc->paint_area;
            OffsetRect(&area, out->origin.x, out->origin.y);
            IntersectRect(&out->clip, &out->clip, &area);
        }
        return true;
    case DeviceContext::SCREEN:
        out->surface = screen_frame();
        out->origin = {0, 0};
        out->clip = {0, 0, out->surface->width, out->surface->height};
        out->on_screen = true;
        out->screen_at = {0, 0};
        return true;
    case DeviceContext::MEMORY: {
        Bitmap *b = gdi_bitmap(dc->bitmap);
        if (!b) return false;
        out->surface = &b->surface;
        out->origin = {0, 0};
        out->clip = {0, 0, b->surface.width, b->surface.height};
        out->on_screen = false;
        return true;
    }
    }
    return false;
}

void dc_drawn(const DcTarget &target, const RECT &area) {
    RECT drawn;
    if (!target.on_screen || !IntersectRect(&drawn, &area, &target.clip)) return;
    OffsetRect(&drawn, target.screen_at.x, target.screen_at.y);
    screen_touch_area(drawn);
}

Font *dc_font(DeviceContext *dc) {
    Font *f = dc ? gdi_font(dc->font) : nullptr;
    return f ? f : gdi_font(GetStockObject(SYSTEM_FONT));
}

}  // namespace plat

using plat::DeviceContext;

HDC GetDC(HWND window) {
    auto dc = std::make_unique<DeviceContext>();
    if (window) {
        plat::Window *w = plat::window_get(window);
        if (!w || !w->remote.empty()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        dc->kind = DeviceContext::WINDOW;
        dc->window = window;
    } else {
        dc->kind = DeviceContext::SCREEN;
    }
    return plat::gdi_add_dc(std::move(dc));
}

int ReleaseDC(HWND, HDC handle) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc || dc->kind == DeviceContext::MEMORY) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    plat::gdi_remove_dc(handle);
    return 1;
}

HDC CreateCompatibleDC(HDC source) {
    if (source && !plat::gdi_dc(source)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = DeviceContext::MEMORY;
    return plat::gdi_add_dc(std::move(dc));
}

BOOL DeleteDC(HDC handle) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc || dc->kind != DeviceContext::MEMORY) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    plat::gdi_remove_dc(handle);
    return TRUE;
}

int GetDeviceCaps(HDC handle, int index) {
    if (!plat::gdi_dc(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int w, h;
    plat::screen_size(&w, &h);
    switch (index) {
    case HORZRES: return w;
    case VERTRES: return h;
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
    }
}

namespace {

COLORREF swap_colour(HDC handle, COLORREF DeviceContext::*field, COLORREF colour) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->*field;
    dc->*field = colour & 0xFFFFFF;
    return old;
}

COLORREF read_colour(HDC handle, COLORREF DeviceContext::*field) {
    DeviceContext *dc = plat::gdi_dc(handle);
    return dc ? dc->*field : CLR_INVALID;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF colour) { return swap_colour(dc, &DeviceContext::text_colour, colour); }
COLORREF GetTextColor(HDC dc) { return read_colour(dc, &DeviceContext::text_colour); }
COLORREF SetBkColor(HDC dc, COLORREF colour) { return swap_colour(dc, &DeviceContext::bk_colour, colour); }

int SetBkMode(HDC handle, int mode) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int old = dc->bk_mode;
    dc->bk_mode = mode;
    return old;
}

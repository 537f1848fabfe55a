// Filling and copying pixels between DCs and bitmaps. All of it goes
// through the painter with the target's clip.
#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"

using plat::DcTarget;
using plat::DeviceContext;

namespace {

// The source of a copy: a DC or, for TransparentImage, a bitmap.
const plat::Surface *source_pixels(HANDLE source, POINT *origin) {
    *origin = {0, 0};
    if (plat::Bitmap *b = plat::gdi_bitmap(source)) return &b->surface;
    DcTarget t;
    if (!plat::dc_target(plat::gdi_dc(static_cast<HDC>(source)), &t)) return nullptr;
    *origin = t.origin;
    return t.surface;
}

// Nothing to fill outside the target, so a clip that misses is still a
// success; a missing DC is not.
bool begin(HDC handle, DcTarget *t) {
    if (!plat::dc_target(plat::gdi_dc(handle), t)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

RECT moved(int x, int y, int w, int h, POINT origin) {
    return {x + origin.x, y + origin.y, x + origin.x + w, y + origin.y + h};
}

BOOL copy(HDC dest, int x, int y, int w, int h, HANDLE source, int sx, int sy, int sw, int sh, const COLORREF *key) {
    DcTarget t;
    POINT so;
    if (!begin(dest, &t)) return FALSE;
    const plat::Surface *src = source_pixels(source, &so);
    if (!src || w < 0 || h < 0 || sw < 0 || sh < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT from = moved(sx, sy, sw, sh, so), to = moved(x, y, w, h, t.origin);
    if (w == sw && h == sh)
        plat::paint_copy(*t.surface, x + t.origin.x, y + t.origin.y, *src, from, t.clip, key);
    else
        plat::paint_stretch(*t.surface, to, *src, from, t.clip, key);
    plat::dc_drawn(t, to);
    return TRUE;
}

BOOL fill(HDC dest, const RECT &area, COLORREF colour) {
    DcTarget t;
    if (!begin(dest, &t)) return FALSE;
    RECT r = area;
    OffsetRect(&r, t.origin.x, t.origin.y);
    plat::paint_fill(*t.surface, r, t.clip, colour);
    plat::dc_drawn(t, r);
    return TRUE;
}

}  // namespace

int FillRect(HDC dc, const RECT *rect, HBRUSH brush) {
    plat::Brush *b = plat::gdi_brush(brush);
    if (!rect || !b) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (b->hollow) return plat::gdi_dc(dc) ? 1 : 0;
    return fill(dc, *rect, b->colour) ? 1 : 0;
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, w, h, source, sx, sy, w, h, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
    RECT area = {x, y, x + w, y + h};
    switch (rop) {
    case SRCCOPY: return copy(dest, x, y, w, h, source, sx, sy, sw, sh, nullptr);
    case BLACKNESS: return fill(dest, area, RGB(0, 0, 0));
    case WHITENESS: return fill(dest, area, RGB(255, 255, 255));
    case PATCOPY: {
        DeviceContext *dc = plat::gdi_dc(dest);
        plat::Brush *b = dc ? plat::gdi_brush(dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH)) : nullptr;
        if (!b) return FALSE;
        return b->hollow ? TRUE : fill(dest, area, b->colour);
    }
    default: SetLastError(ERROR_NOT_SUPPORTED); return FALSE;
    }
}

BOOL TransparentImage(HDC dest, int x, int y, int w, int h, HANDLE source, int sx, int sy, int sw, int sh,
                      COLORREF key) {
    key &= 0xFFFFFF;
    return copy(dest, x, y, w, h, source, sx, sy, sw, sh, &key);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DcTarget t;
    if (!plat::dc_target(plat::gdi_dc(dc), &t)) return CLR_INVALID;
    POINT p = {x + t.origin.x, y + t.origin.y};
    if (!PtInRect(&t.clip, p)) return CLR_INVALID;
    return plat::surface_get(*t.surface, int(p.x), int(p.y));
}

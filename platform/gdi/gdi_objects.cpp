// Drawing objects behind their handles: brushes, bitmaps, fonts, pens and
// device contexts. Handles are never reused, so a stale one is refused
// rather than mistaken for a newer object.
#include <cstring>
#include <map>

#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"

namespace plat {

namespace {

enum class Kind { BRUSH, PEN, BITMAP, FONT, DC };

struct GdiObject {
    Kind kind;
    bool stock = false;
    Brush brush;
    std::unique_ptr<Bitmap> bitmap;
    std::unique_ptr<Font> font;
    std::unique_ptr<DeviceContext> dc;
};

struct GdiTable {
    std::map<uintptr_t, GdiObject> objects;
    uintptr_t next = 0x20000;
    HGDIOBJ stock[SYSTEM_FONT + 1] = {};
};

GdiTable &table() {
    static GdiTable t;
    return t;
}

HGDIOBJ add(GdiObject object) {
    GdiTable &t = table();
    uintptr_t h = t.next;
    t.next += 4;
    t.objects.emplace(h, std::move(object));
    return reinterpret_cast<HGDIOBJ>(h);
}

GdiObject *find(HGDIOBJ handle, Kind kind) {
    auto it = table().objects.find(reinterpret_cast<uintptr_t>(handle));
    return it != table().objects.end() && it->second.kind == kind ? &it->second : nullptr;
}

GdiObject *find_any(HGDIOBJ handle) {
    auto it = table().objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table().objects.end() ? nullptr : &it->second;
}

HGDIOBJ make_stock(int index) {
    GdiObject o;
    o.stock = true;
    static const COLORREF BRUSHES[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                       RGB(64, 64, 64), RGB(0, 0, 0)};
    if (index <= BLACK_BRUSH) {
        o.kind = Kind::BRUSH;
        o.brush.colour = BRUSHES[index];
    } else if (index == NULL_BRUSH) {
        o.kind = Kind::BRUSH;
        o.brush.hollow = true;
    } else if (index <= NULL_PEN) {
        o.kind = Kind::PEN;
    } else if (index == SYSTEM_FONT) {
        o.kind = Kind::FONT;
        o.font = std::make_unique<Font>();
        font_system_logfont(&o.font->logfont);
        o.font->face = font_face_for(o.font->logfont);
    } else {
        return nullptr;
    }
    return add(std::move(o));
}

// A memory DC starts with a 1x1 bitmap selected, as on the phone.
HBITMAP stock_bitmap() {
    static HBITMAP one = nullptr;
    if (!one) {
        GdiObject o;
        o.kind = Kind::BITMAP;
        o.stock = true;
        o.bitmap = std::make_unique<Bitmap>();
        surface_alloc(o.bitmap->surface, 1, 1);
        one = static_cast<HBITMAP>(add(std::move(o)));
    }
    return one;
}

void fill_bitmap_info(const Bitmap &b, BITMAP *bm) {
    bm->bmType = 0;
    bm->bmWidth = b.surface.width;
    bm->bmHeight = b.surface.height;
    bm->bmWidthBytes = surface_row_bytes(b.surface.width);
    bm->bmPlanes = 1;
    bm->bmBitsPixel = 24;
    bm->bmBits = b.dib ? b.surface.bits() : nullptr;
}

int get_bitmap(const Bitmap &b, int size, LPVOID out) {
    if (size >= int(sizeof(DIBSECTION)) && b.dib) {
        DIBSECTION ds = {};
        fill_bitmap_info(b, &ds.dsBm);
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = b.surface.width;
        ds.dsBmih.biHeight = b.surface.stride < 0 ? b.surface.height : -b.surface.height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = 24;
        ds.dsBmih.biCompression = BI_RGB;
        ds.dsBmih.biSizeImage = DWORD(surface_row_bytes(b.surface.width) * b.surface.height);
        memcpy(out, &ds, sizeof ds);
        return sizeof ds;
    }
    if (size < int(sizeof(BITMAP))) return 0;
    BITMAP bm;
    fill_bitmap_info(b, &bm);
    memcpy(out, &bm, sizeof bm);
    return sizeof bm;
}

}  // namespace

Brush *gdi_brush(HGDIOBJ h) {
    GdiObject *o = find(h, Kind::BRUSH);
    return o ? &o->brush : nullptr;
}

Bitmap *gdi_bitmap(HGDIOBJ h) {
    GdiObject *o = find(h, Kind::BITMAP);
    return o ? o->bitmap.get() : nullptr;
}

Font *gdi_font(HGDIOBJ h) {
    GdiObject *o = find(h, Kind::FONT);
    return o ? o->font.get() : nullptr;
}

DeviceContext *gdi_dc(HDC h) {
    GdiObject *o = find(h, Kind::DC);
    return o ? o->dc.get() : nullptr;
}

HBITMAP gdi_add_bitmap(std::unique_ptr<Bitmap> bitmap) {
    GdiObject o;
    o.kind = Kind::BITMAP;
    o.bitmap = std::move(bitmap);
    return static_cast<HBITMAP>(add(std::move(o)));
}

HFONT gdi_add_font(std::unique_ptr<Font> font) {
    GdiObject o;
    o.kind = Kind::FONT;
    o.font = std::move(font);
    return static_cast<HFONT>(add(std::move(o)));
}

HDC gdi_add_dc(std::unique_ptr<DeviceContext> dc) {
    if (dc->kind == DeviceContext::MEMORY) {
        dc->bitmap = stock_bitmap();
        gdi_bitmap(dc->bitmap)->selected++;
    }
    GdiObject o;
    o.kind = Kind::DC;
    o.dc = std::move(dc);
    return reinterpret_cast<HDC>(add(std::move(o)));
}

void gdi_remove_dc(HDC h) {
    GdiObject *o = find(h, Kind::DC);
    if (!o) return;
    if (Bitmap *b = gdi_bitmap(o->dc->bitmap)) b->selected--;
    table().objects.erase(reinterpret_cast<uintptr_t>(h));
}

}  // namespace plat

using plat::GdiObject;
using plat::Kind;

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > SYSTEM_FONT) return nullptr;
    HGDIOBJ &slot = plat::table().stock[index];
    if (!slot) slot = plat::make_stock(index);
    return slot;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    GdiObject o;
    o.kind = Kind::BRUSH;
    o.brush.colour = colour & 0xFFFFFF;
    return static_cast<HBRUSH>(plat::add(std::move(o)));
}

HGDIOBJ SelectObject(HDC dc_handle, HGDIOBJ object) {
    plat::DeviceContext *dc = plat::gdi_dc(dc_handle);
    GdiObject *o = plat::find_any(object);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (o->kind) {
    case Kind::BRUSH:
        old = dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH);
        dc->brush = static_cast<HBRUSH>(object);
        break;
    case Kind::FONT:
        old = dc->font ? dc->font : GetStockObject(SYSTEM_FONT);
        dc->font = static_cast<HFONT>(object);
        break;
    case Kind::PEN: old = GetStockObject(BLACK_PEN); break;
    case Kind::BITMAP:
        // Only a memory DC draws on a bitmap.
        if (dc->kind != plat::DeviceContext::MEMORY) return nullptr;
        old = dc->bitmap;
        if (plat::Bitmap *b = plat::gdi_bitmap(old)) b->selected--;
        o->bitmap->selected++;
        dc->bitmap = static_cast<HBITMAP>(object);
        break;
    case Kind::DC: return nullptr;
    }
    return old;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject *o = plat::find_any(object);
    if (!o || o->kind == Kind::DC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) return TRUE;
    // A bitmap still selected into a DC stays until it is deselected.
    if (o->kind == Kind::BITMAP && o->bitmap->selected > 0) return FALSE;
    plat::table().objects.erase(reinterpret_cast<uintptr_t>(object));
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID out) {
    GdiObject *o = plat::find_any(object);
    if (!o || o->kind == Kind::DC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
    case Kind::BITMAP:
        if (!out) return o->bitmap->dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
        return plat::get_bitmap(*o->bitmap, size, out);
    case Kind::FONT:
        if (!out) return sizeof(LOGFONTW);
        if (size < int(sizeof(LOGFONTW))) return 0;
        memcpy(out, &o->font->logfont, sizeof(LOGFONTW));
        return sizeof(LOGFONTW);
    case Kind::BRUSH: {
        if (!out) return sizeof(LOGBRUSH);
        if (size < int(sizeof(LOGBRUSH))) return 0;
        LOGBRUSH lb = {UINT(o->brush.hollow ? BS_NULL : BS_SOLID), o->brush.colour, 0};
        memcpy(out, &lb, sizeof lb);
        return sizeof lb;
    }
    default: return 0;
    }
}

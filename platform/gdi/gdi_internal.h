// The drawing service's own records: brushes, bitmaps, fonts and device
// contexts behind their handles. Internal to the platform.
#pragma once

#include <memory>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/window/window.h"

namespace plat {

struct FontFace;

struct Brush {
    COLORREF colour = 0;
    bool hollow = false;
};

struct Bitmap {
    Surface surface;
    bool dib = false;      // made by CreateDIBSection: its bits are the caller's to touch
    int selected = 0;      // memory DCs it is selected into
};

struct Font {
    LOGFONTW logfont{};
    FontFace *face = nullptr;  // shared, cached by the font service
};

struct DeviceContext {
    enum Kind { WINDOW, SCREEN, MEMORY } kind = MEMORY;
    HWND window = nullptr;
    HBITMAP bitmap = nullptr;  // memory DC: the selected bitmap
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF text_colour = RGB(0, 0, 0);
    COLORREF bk_colour = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    bool painting = false;     // from BeginPaint: drawing stays inside the update area
    RECT paint_area = {0, 0, 0, 0};
};

// Where a DC's drawing lands right now: the pixels, the offset of the DC's
// origin in them and the clip, both in the surface's coordinates.
struct DcTarget {
    Surface *surface = nullptr;
    POINT origin = {0, 0};
    RECT clip = {0, 0, 0, 0};
    bool on_screen = false;  // pixels of a window or the screen: the frame must be presented again
    POINT screen_at = {0, 0};  // where the surface's top-left shows on the screen
};

Brush *gdi_brush(HGDIOBJ handle);
Bitmap *gdi_bitmap(HGDIOBJ handle);
Font *gdi_font(HGDIOBJ handle);
DeviceContext *gdi_dc(HDC handle);

HBITMAP gdi_add_bitmap(std::unique_ptr<Bitmap> bitmap);
HFONT gdi_add_font(std::unique_ptr<Font> font);
HDC gdi_add_dc(std::unique_ptr<DeviceContext> dc);
void gdi_remove_dc(HDC handle);

// Resolves a DC to its pixels; false for a DC with nothing to draw on.
bool dc_target(DeviceContext *dc, DcTarget *out);
// After drawing: `area` (surface coordinates, cut to the clip) of a window's
// or the screen's pixels may have changed.
void dc_drawn(const DcTarget &target, const RECT &area);
// The DC's font, the stock system font when none is selected.
Font *dc_font(DeviceContext *dc);

// Fonts: faces found through fontconfig and rendered by FreeType; glyphs are
// cached per face.
struct Glyph {
    int left = 0;     // from the pen position to the bitmap's left edge
    int top = 0;      // from the baseline up to the bitmap's top row
    int width = 0;
    int height = 0;
    int advance = 0;  // pixels to the next pen position
    std::unique_ptr<unsigned char[]> coverage;
};
struct FontMetrics {
    int ascent;
    int descent;
    int height;
};
FontFace *font_face_for(const LOGFONTW &logfont);
const Glyph *font_glyph(FontFace *face, wchar_t ch);
FontMetrics font_metrics(FontFace *face);
void font_system_logfont(LOGFONTW *out);
// Starts finding the system family's files (fontconfig reads its whole
// configuration, some milliseconds) on a thread of its own, so that a
// program opening its screen does not wait for it; the first font wanted
// waits for the thread.
void font_prefetch(void);

}  // namespace plat

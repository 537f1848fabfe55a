// The colours, fonts and small shapes of the screen's own parts (title bar,
// soft-key bar, popup menus, message boxes) and of the controls, so that all
// of them share one look. Internal to the platform.
#pragma once

#include <vector>

#include "platform/gdi/gdi.h"

namespace plat {

constexpr COLORREF LOOK_TITLE = RGB(0, 56, 112);
constexpr COLORREF LOOK_BAR = RGB(40, 40, 48);
constexpr COLORREF LOOK_BAR_TEXT = RGB(255, 255, 255);
constexpr COLORREF LOOK_HIGHLIGHT = RGB(0, 102, 204);
constexpr COLORREF LOOK_GRAYED = RGB(150, 150, 150);
constexpr COLORREF LOOK_PANEL = RGB(255, 255, 255);
constexpr COLORREF LOOK_TEXT = RGB(0, 0, 0);
constexpr COLORREF LOOK_EDGE = RGB(80, 80, 80);
// Controls: a button's face, the edge of a field, a selection in a list that
// does not have the focus.
constexpr COLORREF LOOK_FACE = RGB(226, 230, 236);
constexpr COLORREF LOOK_FIELD_EDGE = RGB(140, 140, 150);
constexpr COLORREF LOOK_IDLE_SELECTION = RGB(205, 212, 222);

// The system font, plain or bold; made once and kept.
HFONT look_font(bool bold);
// Fills a rectangle with a colour through a DC.
void look_fill(HDC dc, const RECT &rect, COLORREF colour);
// One line of text in a colour, transparent background.
void look_text(HDC dc, const RECT &rect, LPCWSTR text, COLORREF colour, UINT format);
// The outline of a rectangle, `width` pixels thick, inside it.
void look_frame(HDC dc, const RECT &rect, COLORREF colour, int width);

// An anti-aliased disc, or a triangle with its point up, as an 8-bit
// coverage map of size x size, 4 x 4 samples a pixel.
std::vector<unsigned char> look_shape(int size, bool triangle);
// Blends a coverage map of look_shape into the DC at (x, y).
void look_blend(HDC dc, int x, int y, const std::vector<unsigned char> &coverage, int size, COLORREF colour);
// A small solid arrow pointing left, right, up or down (VK_LEFT ... VK_DOWN),
// centred in `rect`, `size` pixels from its point to its base.
void look_arrow(HDC dc, const RECT &rect, int direction, int size, COLORREF colour);

// Where a list or dialog is scrolled to: a thumb in `track` for `shown` of
// `total` rows (or pixels) from `first`.
void look_scroll_thumb(HDC dc, const RECT &track, int first, int shown, int total);

// A field (edit box, spin box, drop-down list, time): white inside a thin
// edge, or inside the highlight when it has the focus.
void look_field(HDC dc, const RECT &rect, bool focused);
// The square of a check box and the circle of a radio button, `box` being
// the mark's square.
void look_check_mark(HDC dc, const RECT &box, bool checked, bool enabled);
void look_radio_mark(HDC dc, const RECT &box, bool checked, bool enabled);

}  // namespace plat

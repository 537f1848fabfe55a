// The colours and fonts of the screen's own parts: title bar, soft-key bar,
// popup menus, message boxes. Internal to the platform.
#pragma once

#include "platform/gdi.h"

namespace plat {

const COLORREF LOOK_TITLE = RGB(0, 56, 112);
const COLORREF LOOK_BAR = RGB(40, 40, 48);
const COLORREF LOOK_BAR_TEXT = RGB(255, 255, 255);
const COLORREF LOOK_HIGHLIGHT = RGB(0, 102, 204);
const COLORREF LOOK_GRAYED = RGB(150, 150, 150);
const COLORREF LOOK_PANEL = RGB(255, 255, 255);
const COLORREF LOOK_TEXT = RGB(0, 0, 0);
const COLORREF LOOK_EDGE = RGB(80, 80, 80);

// The system font, plain or bold; made once and kept.
HFONT look_font(bool bold);
// Fills a rectangle with a colour through a DC.
void look_fill(HDC dc, const RECT &rect, COLORREF colour);
// One line of text in a colour, transparent background.
void look_text(HDC dc, const RECT &rect, LPCWSTR text, COLORREF colour, UINT format);

}  // namespace plat

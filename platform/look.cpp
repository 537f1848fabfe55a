#include "platform/look.h"

#include "platform/gdi_internal.h"

namespace plat {

HFONT look_font(bool bold) {
    static HFONT fonts[2] = {nullptr, nullptr};
    HFONT &f = fonts[bold ? 1 : 0];
    if (!f) {
        LOGFONTW lf;
        font_system_logfont(&lf);
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        f = CreateFontIndirectW(&lf);
    }
    return f;
}

void look_fill(HDC dc, const RECT &rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void look_text(HDC dc, const RECT &rect, LPCWSTR text, COLORREF colour, UINT format) {
    RECT r = rect;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &r, format | DT_NOPREFIX);
}

}  // namespace plat

#include "platform/screen/look.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi_internal.h"

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

void look_frame(HDC dc, const RECT &r, COLORREF colour, int width) {
    RECT sides[4] = {{r.left, r.top, r.right, r.top + width},
                     {r.left, r.bottom - width, r.right, r.bottom},
                     {r.left, r.top, r.left + width, r.bottom},
                     {r.right - width, r.top, r.right, r.bottom}};
    for (const RECT &side : sides) look_fill(dc, side, colour);
}

std::vector<unsigned char> look_shape(int size, bool triangle) {
    std::vector<unsigned char> cov(size_t(size) * size, 0);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            int in = 0;
            for (int sy = 0; sy < 4; sy++)
                for (int sx = 0; sx < 4; sx++) {
                    double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4, c = size / 2.0;
                    bool inside = triangle ? py >= 1 && py <= size - 1 && std::fabs(px - c) <= (py - 1) / (size - 2) * c
                                           : (px - c) * (px - c) + (py - c) * (py - c) <= (c - 0.5) * (c - 0.5);
                    in += inside;
                }
            cov[size_t(y) * size + x] = (unsigned char)(in * 255 / 16);
        }
    return cov;
}

void look_blend(HDC dc, int x, int y, const std::vector<unsigned char> &coverage, int size, COLORREF colour) {
    DcTarget t;
    if (!dc_target(gdi_dc(dc), &t)) return;
    paint_coverage(*t.surface, x + t.origin.x, y + t.origin.y, coverage.data(), size, size, size, t.clip, colour);
    dc_drawn(t, {x + t.origin.x, y + t.origin.y, x + t.origin.x + size, y + t.origin.y + size});
}

// Row by row (or column by column), one pixel narrower on each side per step.
void look_arrow(HDC dc, const RECT &rect, int direction, int size, COLORREF colour) {
    int cx = int(rect.left + rect.right) / 2, cy = int(rect.top + rect.bottom) / 2;
    for (int i = 0; i < size; i++) {
        RECT line;
        switch (direction) {
        case VK_LEFT: line = {cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1}; break;
        case VK_RIGHT: line = {cx + size / 2 - i, cy - i, cx + size / 2 - i + 1, cy + i + 1}; break;
        case VK_UP: line = {cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1}; break;
        default: line = {cx - i, cy + size / 2 - i, cx + i + 1, cy + size / 2 - i + 1}; break;
        }
        look_fill(dc, line, colour);
    }
}

void look_scroll_thumb(HDC dc, const RECT &track, int first, int shown, int total) {
    if (total <= 0) return;
    int height = int(track.bottom - track.top);
    RECT thumb = {track.left, track.top + height * first / total, track.right,
                  track.top + height * std::min(total, first + shown) / total};
    look_fill(dc, thumb, LOOK_FIELD_EDGE);
}

void look_field(HDC dc, const RECT &rect, bool focused) {
    look_fill(dc, rect, LOOK_PANEL);
    if (focused) look_frame(dc, rect, LOOK_HIGHLIGHT, 2);
    else look_frame(dc, rect, LOOK_FIELD_EDGE, 1);
}

void look_check_mark(HDC dc, const RECT &box, bool checked, bool enabled) {
    look_fill(dc, box, LOOK_PANEL);
    look_frame(dc, box, enabled ? LOOK_EDGE : LOOK_GRAYED, 1);
    if (!checked) return;
    HGDIOBJ old = SelectObject(dc, look_font(true));
    look_text(dc, box, L"\x2713", enabled ? LOOK_TEXT : LOOK_GRAYED, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
}

void look_radio_mark(HDC dc, const RECT &box, bool checked, bool enabled) {
    int size = int(box.right - box.left);
    look_blend(dc, int(box.left), int(box.top), look_shape(size, false), size, enabled ? LOOK_EDGE : LOOK_GRAYED);
    int inner = size - 2;
    look_blend(dc, int(box.left) + 1, int(box.top) + 1, look_shape(inner, false), inner, LOOK_PANEL);
    if (!checked) return;
    int dot = size / 2;
    look_blend(dc, int(box.left) + (size - dot) / 2, int(box.top) + (size - dot) / 2, look_shape(dot, false), dot,
               enabled ? LOOK_TEXT : LOOK_GRAYED);
}

}  // namespace plat

// Text: measuring and drawing lines with the DC's font and colours, and the
// phone's DrawTextW layout (alignment, word wrapping, "&" prefixes, "...").
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"

using plat::DcTarget;
using plat::DeviceContext;
using plat::FontFace;

namespace {

int text_width(FontFace *face, const wchar_t *text, size_t n) {
    int w = 0;
    for (size_t i = 0; i < n; i++)
        if (const plat::Glyph *g = plat::font_glyph(face, text[i])) w += g->advance;
    return w;
}

// Draws one line with its top-left at (x, y) in DC coordinates; the
// background behind it is filled in opaque mode.
void draw_line(DeviceContext *dc, const DcTarget &t, const RECT &clip, int x, int y, const wchar_t *text, size_t n) {
    FontFace *face = plat::dc_font(dc)->face;
    plat::FontMetrics m = plat::font_metrics(face);
    int px = x + t.origin.x, baseline = y + t.origin.y + m.ascent;
    if (dc->bk_mode == OPAQUE) {
        RECT box = {px, y + t.origin.y, px + text_width(face, text, n), y + t.origin.y + m.height};
        plat::paint_fill(*t.surface, box, clip, dc->bk_colour);
    }
    for (size_t i = 0; i < n; i++) {
        const plat::Glyph *g = plat::font_glyph(face, text[i]);
        if (!g) continue;
        plat::paint_coverage(*t.surface, px + g->left, baseline - g->top, g->coverage.get(), g->width, g->height,
                             g->width, clip, dc->text_colour);
        px += g->advance;
    }
}

// "&x" shows as x and "&&" as "&" unless the caller asks for no prefixes.
std::wstring strip_prefixes(const wchar_t *text, size_t n, bool keep) {
    std::wstring out;
    for (size_t i = 0; i < n; i++) {
        if (!keep && text[i] == L'&' && i + 1 < n) i++;
        out.push_back(text[i]);
    }
    return out;
}

// Breaks text into lines: at line breaks, and with word wrapping at the last
// space (or backslash) that still fits; a word wider than the box is cut.
std::vector<std::wstring> layout_lines(FontFace *face, const std::wstring &text, int width, UINT format) {
    std::vector<std::wstring> lines;
    if (format & DT_SINGLELINE) {
        std::wstring one;
        for (wchar_t c : text)
            if (c != L'\r' && c != L'\n') one.push_back(c);
        lines.push_back(one);
        return lines;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring para = text.substr(start, end - start);
        if (!para.empty() && para.back() == L'\r') para.pop_back();
        while ((format & DT_WORDBREAK) && text_width(face, para.c_str(), para.size()) > width && para.size() > 1) {
            size_t fit = 1;
            while (fit < para.size() && text_width(face, para.c_str(), fit + 1) <= width) fit++;
            // Break at the last space, or after a backslash of a long path.
            size_t cut = para.find_last_of(L" \\", fit);
            size_t take = fit;
            if (cut != std::wstring::npos && para[cut] == L' ' && cut > 0) take = cut;
            else if (cut != std::wstring::npos && para[cut] == L'\\' && cut + 1 < fit) take = cut + 1;
            lines.push_back(para.substr(0, take));
            size_t next = take;
            while (next < para.size() && para[next] == L' ') next++;
            para.erase(0, next);
        }
        lines.push_back(para);
        start = end + 1;
    }
    return lines;
}

std::wstring with_ellipsis(FontFace *face, std::wstring line, int width) {
    if (text_width(face, line.c_str(), line.size()) <= width) return line;
    while (!line.empty()) {
        line.pop_back();
        std::wstring candidate = line + L"...";
        if (text_width(face, candidate.c_str(), candidate.size()) <= width) return candidate;
    }
    return L"...";
}

}  // namespace

BOOL GetTextExtentPoint32W(HDC handle, LPCWSTR text, int chars, LPSIZE size) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc || !size || (!text && chars > 0) || chars < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace *face = plat::dc_font(dc)->face;
    size->cx = text_width(face, text, size_t(chars));
    size->cy = plat::font_metrics(face).height;
    return TRUE;
}

int DrawTextW(HDC handle, LPCWSTR text, int chars, LPRECT rect, UINT format) {
    DeviceContext *dc = plat::gdi_dc(handle);
    if (!dc || !text || !rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = chars < 0 ? wcslen(text) : size_t(chars);
    FontFace *face = plat::dc_font(dc)->face;
    int line_height = plat::font_metrics(face).height;
    int width = int(rect->right - rect->left);
    std::vector<std::wstring> lines = layout_lines(face, strip_prefixes(text, n, format & DT_NOPREFIX), width, format);
    int height = line_height * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (auto &l : lines) widest = std::max(widest, text_width(face, l.c_str(), l.size()));
        if (!(format & DT_WORDBREAK) || lines.size() == 1) rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }
    DcTarget t;
    if (!plat::dc_target(dc, &t)) return 0;
    RECT clip = t.clip;
    if (!(format & DT_NOCLIP)) {
        RECT box = *rect;
        OffsetRect(&box, t.origin.x, t.origin.y);
        IntersectRect(&clip, &clip, &box);
    }
    int y = int(rect->top);
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) y = int(rect->top + (rect->bottom - rect->top - line_height) / 2);
        else if (format & DT_BOTTOM) y = int(rect->bottom - line_height);
    }
    for (auto &line : lines) {
        std::wstring shown = (format & DT_END_ELLIPSIS) ? with_ellipsis(face, line, width) : line;
        int w = text_width(face, shown.c_str(), shown.size());
        int x = int(rect->left);
        if (format & DT_CENTER) x += (width - w) / 2;
        else if (format & DT_RIGHT) x += width - w;
        draw_line(dc, t, clip, x, y, shown.c_str(), shown.size());
        y += line_height;
    }
    plat::dc_drawn(t, clip);
    return height;
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT chars, const int *) {
    DeviceContext *dc = plat::gdi_dc(handle);
    DcTarget t;
    if (!dc || !plat::dc_target(dc, &t)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RECT clip = t.clip;
    if (rect) {
        RECT box = *rect;
        OffsetRect(&box, t.origin.x, t.origin.y);
        if (options & ETO_OPAQUE) plat::paint_fill(*t.surface, box, clip, dc->bk_colour);
        if (options & ETO_CLIPPED) IntersectRect(&clip, &clip, &box);
    }
    if (text && chars) draw_line(dc, t, clip, x, y, text, chars);
    // The opaque box may lie outside an unclipped line's clip.
    plat::dc_drawn(t, t.clip);
    return TRUE;
}

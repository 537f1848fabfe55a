// The static control: text in its font, in the colours its parent returns
// for WM_CTLCOLORSTATIC (wrapped; centred; one line cut at the edge; centred
// from top to bottom), with a thin frame for WS_BORDER; or a bitmap at its
// own size.
#include <cwchar>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

struct StaticState : ClassState {
    HBITMAP bitmap = nullptr;
    bool own_bitmap = false;  // loaded from the resource the text names

    ~StaticState() override {
        if (own_bitmap) DeleteObject(bitmap);
    }
    void describe(HWND, std::string *out) const override {
        if (bitmap) *out += " bitmap";
    }
};

bool is_bitmap(DWORD style) { return (style & SS_TYPEMASK) == SS_BITMAP; }

UINT text_format(DWORD style) {
    DWORD type = style & SS_TYPEMASK;
    UINT format = type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
    if (type == SS_CENTER) format |= DT_CENTER;
    else if (type == SS_RIGHT) format |= DT_RIGHT;
    if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

// A bitmap control takes its bitmap's size.
void fit_bitmap(HWND window, HBITMAP bitmap) {
    BITMAP bm;
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return;
    SetWindowPos(window, nullptr, 0, 0, int(bm.bmWidth), int(bm.bmHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// "#324" names bitmap resource 324.
HBITMAP bitmap_named(const std::wstring &name) {
    if (name.size() < 2 || name[0] != L'#') return nullptr;
    wchar_t *end;
    long id = wcstol(name.c_str() + 1, &end, 10);
    if (*end || id <= 0 || id > 0xFFFF) return nullptr;
    return LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
}

void paint_static(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLORSTATIC, &p);
    Window *w = window_get(window);
    StaticState *s = state_of<StaticState>(window);
    if (w && s) {
        FillRect(p.dc, &p.client, p.brush);
        if (s->bitmap) {
            HDC mem = CreateCompatibleDC(p.dc);
            HGDIOBJ old = SelectObject(mem, s->bitmap);
            BitBlt(p.dc, 0, 0, int(p.client.right), int(p.client.bottom), mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        } else {
            RECT text = p.client;
            if (w->style & WS_BORDER) {
                look_frame(p.dc, p.client, LOOK_FIELD_EDGE, 1);
                InflateRect(&text, -2, -1);
            }
            SetTextColor(p.dc, p.enabled ? p.text : LOOK_GRAYED);
            DrawTextW(p.dc, w->title.c_str(), int(w->title.size()), &text, text_format(w->style));
        }
    }
    control_paint_end(window, &p);
}

LRESULT set_image(HWND window, StaticState *s, WPARAM type, HBITMAP bitmap) {
    if (type != IMAGE_BITMAP) return 0;
    HBITMAP old = s->bitmap;
    if (s->own_bitmap) {
        DeleteObject(old);
        old = nullptr;
    }
    s->bitmap = bitmap;
    s->own_bitmap = false;
    fit_bitmap(window, bitmap);
    InvalidateRect(window, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

LRESULT static_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    StaticState *s = state_of<StaticState>(window);
    switch (message) {
    case WM_CREATE: {
        s = state_make<StaticState>(window);
        Window *w = window_get(window);
        if (is_bitmap(w->style) && (s->bitmap = bitmap_named(w->title))) {
            s->own_bitmap = true;
            fit_bitmap(window, s->bitmap);
        }
        return 0;
    }
    case WM_PAINT: paint_static(window); return 0;
    case WM_ERASEBKGND: return 1;  // painted whole with the parent's brush
    case WM_GETDLGCODE: return DLGC_STATIC;
    case STM_SETIMAGE: return s ? set_image(window, s, wparam, reinterpret_cast<HBITMAP>(lparam)) : 0;
    case STM_GETIMAGE: return s && wparam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(s->bitmap) : 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace plat

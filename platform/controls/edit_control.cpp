// The one-line edit box: typed characters go in at the caret up to the
// limit; left and right move the caret; Back (handed on by the dialog with
// SHSendBackToFocusWindow) deletes the character before it. The text scrolls
// sideways so that the caret shows. There is no selection: EM_SETSEL only
// places the caret.
#include <algorithm>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

constexpr size_t DEFAULT_LIMIT = 0x7FFFFFFE;
constexpr int PAD = 3;

struct EditState : ClassState {
    size_t caret = 0;
    size_t limit = DEFAULT_LIMIT;
    int scroll = 0;  // pixels of text hidden at the left

    void describe(HWND, std::string *out) const override {
        *out += " caret=" + std::to_string(caret);
        if (limit != DEFAULT_LIMIT) *out += " limit=" + std::to_string(limit);
    }
};

int width_of(HDC dc, const std::wstring &text, size_t chars) {
    SIZE s = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), int(chars), &s);
    return int(s.cx);
}

void changed(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    notify_command(window, EN_CHANGE);
}

void type_char(HWND window, EditState *s, wchar_t ch) {
    Window *w = window_get(window);
    if (ch < L' ' || ch == 0x7F) return;
    if ((w->style & ES_NUMBER) && (ch < L'0' || ch > L'9')) return;
    if (w->title.size() >= s->limit) {
        notify_command(window, EN_MAXTEXT);
        return;
    }
    w->title.insert(s->caret, 1, ch);
    s->caret++;
    changed(window);
}

void delete_back(HWND window, EditState *s) {
    Window *w = window_get(window);
    if (s->caret == 0) return;
    w->title.erase(--s->caret, 1);
    changed(window);
}

void move_caret(HWND window, EditState *s, int step) {
    size_t size = window_get(window)->title.size();
    if (step < 0 && s->caret > 0) s->caret--;
    else if (step > 0 && s->caret < size) s->caret++;
    InvalidateRect(window, nullptr, TRUE);
}

void paint_edit(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLOREDIT, &p);
    Window *w = window_get(window);
    EditState *s = state_of<EditState>(window);
    if (w && s) {
        look_field(p.dc, p.client, p.focused);
        RECT inner = p.client;
        InflateRect(&inner, -PAD, -2);
        int caret_x = width_of(p.dc, w->title, s->caret);
        int room = std::max(1, int(inner.right - inner.left) - 1);
        if (caret_x - s->scroll > room) s->scroll = caret_x - room;
        if (caret_x < s->scroll) s->scroll = caret_x;
        int line = control_line_height(window);
        int top = int(inner.top + inner.bottom - line) / 2;
        SetTextColor(p.dc, p.enabled ? p.text : LOOK_GRAYED);
        ExtTextOutW(p.dc, int(inner.left) - s->scroll, top, ETO_CLIPPED, &inner, w->title.c_str(),
                    UINT(w->title.size()), nullptr);
        if (p.focused) {
            RECT caret = {inner.left + caret_x - s->scroll, top, inner.left + caret_x - s->scroll + 1, top + line};
            look_fill(p.dc, caret, LOOK_TEXT);
        }
    }
    control_paint_end(window, &p);
}

LRESULT get_sel(const EditState *s, WPARAM start, LPARAM end) {
    if (start) *reinterpret_cast<DWORD *>(start) = DWORD(s->caret);
    if (end) *reinterpret_cast<DWORD *>(end) = DWORD(s->caret);
    return MAKELONG(s->caret, s->caret);
}

void set_sel(HWND window, EditState *s, LPARAM end) {
    size_t size = window_get(window)->title.size();
    s->caret = end < 0 || size_t(end) > size ? size : size_t(end);
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

LRESULT edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    EditState *s = state_of<EditState>(window);
    if (message == WM_CREATE) {
        state_make<EditState>(window)->caret = window_get(window)->title.size();
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_edit(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTCHARS;
    case WM_SETTEXT:
        DefWindowProcW(window, message, wparam, lparam);
        if ((s = state_of<EditState>(window))) s->caret = window_get(window)->title.size();
        notify_command(window, EN_CHANGE);
        return TRUE;
    case WM_CHAR: type_char(window, s, wchar_t(wparam)); return 0;
    case WM_KEYDOWN:
        if (wparam == VK_LEFT || wparam == VK_RIGHT) move_caret(window, s, wparam == VK_LEFT ? -1 : 1);
        else if (wparam == VK_TBACK) delete_back(window, s);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
    case EM_LIMITTEXT: s->limit = wparam ? size_t(wparam) : DEFAULT_LIMIT; return 0;
    case EM_GETLIMITTEXT: return LRESULT(s->limit);
    case EM_GETSEL: return get_sel(s, wparam, lparam);
    case EM_SETSEL: set_sel(window, s, lparam); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace plat

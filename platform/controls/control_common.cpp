// What the controls share: notifying the parent, their font and colours.
#include <algorithm>
#include <cwchar>

#include "platform/controls/control_internal.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/screen/look.h"
#include "platform/core/text.h"

namespace plat {

void notify_command(HWND control, UINT code) {
    Window *w = window_get(control);
    if (!w || !w->parent) return;
    SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT notify_parent(HWND control, UINT code, NMHDR *header) {
    Window *w = window_get(control);
    if (!w || !w->parent) return 0;
    header->hwndFrom = control;
    header->idFrom = UINT_PTR(w->id);
    header->code = code;
    return SendMessageW(w->parent, WM_NOTIFY, WPARAM(w->id), reinterpret_cast<LPARAM>(header));
}

std::string quoted(const std::wstring &text) {
    std::string out = "\"";
    for (char c : to_utf8(text.c_str(), text.size())) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

bool control_focused(HWND control) { return control && GetFocus() == control; }

DWORD control_style(HWND control) {
    Window *w = window_get(control);
    return w ? w->style : 0;
}

bool has_style(HWND control, DWORD bits) { return (control_style(control) & bits) == bits; }

HFONT control_font(HWND control) {
    Window *w = window_get(control);
    return w && w->font ? w->font : look_font(false);
}

int control_line_height(HWND control) {
    Font *f = gdi_font(control_font(control));
    return f ? font_metrics(f->face).height : 14;
}

bool dlgcode_key_is(LPARAM msg, int vk1, int vk2) {
    const MSG *m = reinterpret_cast<const MSG *>(msg);
    if (!m || m->message != WM_KEYDOWN) return false;
    return int(m->wParam) == vk1 || int(m->wParam) == vk2;
}

void control_paint_begin(HWND control, UINT ctlcolor, ControlPaint *p) {
    p->dc = BeginPaint(control, &p->ps);
    GetClientRect(control, &p->client);
    SelectObject(p->dc, control_font(control));
    Window *w = window_get(control);
    HWND parent = w && w->parent ? w->parent : control;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, ctlcolor, reinterpret_cast<WPARAM>(p->dc), reinterpret_cast<LPARAM>(control)));
    if (!gdi_brush(brush))
        brush = reinterpret_cast<HBRUSH>(
            DefWindowProcW(parent, ctlcolor, reinterpret_cast<WPARAM>(p->dc), reinterpret_cast<LPARAM>(control)));
    p->brush = brush;
    p->text = GetTextColor(p->dc);
    p->focused = control_focused(control);
    p->enabled = IsWindowEnabled(control) != FALSE;
    SetBkMode(p->dc, TRANSPARENT);
}

void control_paint_end(HWND control, ControlPaint *p) { EndPaint(control, &p->ps); }

LRESULT copy_window_text(const std::wstring &text, WPARAM chars, LPARAM out) {
    if (!out || chars == 0) return 0;
    size_t n = std::min(text.size(), size_t(chars) - 1);
    wmemcpy(reinterpret_cast<LPWSTR>(out), text.c_str(), n);
    reinterpret_cast<LPWSTR>(out)[n] = L'\0';
    return LRESULT(n);
}

LRESULT copy_item_text(const std::wstring &text, LPARAM out) {
    if (!out) return -1;
    wmemcpy(reinterpret_cast<LPWSTR>(out), text.c_str(), text.size() + 1);
    return LRESULT(text.size());
}

}  // namespace plat

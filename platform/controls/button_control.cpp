// The button control: push buttons, check boxes and radio buttons. The
// action key clicks the one with the focus: an auto check box toggles, an auto
// radio button checks itself and clears the others of its group (the
// siblings from the nearest WS_GROUP before it up to the next one); then the
// parent gets BN_CLICKED.
#include <algorithm>
#include <vector>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

struct ButtonState : ClassState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;

    void describe(HWND, std::string *out) const override {
        if (check == BST_CHECKED) *out += " checked";
        if (check == BST_INDETERMINATE) *out += " indeterminate";
    }
};

enum Kind { PUSH, CHECK, RADIO };

Kind kind_of(DWORD style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: return CHECK;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return RADIO;
    default: return PUSH;
    }
}

// The other auto radio buttons of the button's group.
std::vector<HWND> group_of(HWND button) {
    std::vector<HWND> group;
    Window *w = window_get(button);
    Window *parent = w ? window_get(w->parent) : nullptr;
    if (!parent) return group;
    const std::vector<HWND> &all = parent->children;
    auto self = std::find(all.begin(), all.end(), button);
    auto first = self;
    while (first != all.begin() && !has_style(*first, WS_GROUP)) --first;
    auto last = self + 1;
    while (last != all.end() && !has_style(*last, WS_GROUP)) ++last;
    for (auto it = first; it != last; ++it)
        if (*it != button && (control_style(*it) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) group.push_back(*it);
    return group;
}

void set_check(HWND window, UINT check) {
    ButtonState *s = state_of<ButtonState>(window);
    if (!s || kind_of(control_style(window)) == PUSH || s->check == check) return;
    s->check = check;
    InvalidateRect(window, nullptr, TRUE);
}

void click(HWND window) {
    if (!IsWindowEnabled(window)) return;
    DWORD style = control_style(window);
    if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        ButtonState *s = state_of<ButtonState>(window);
        set_check(window, s && s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    } else if ((style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
        set_check(window, BST_CHECKED);
        for (HWND other : group_of(window)) SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    notify_command(window, BN_CLICKED);
}

// A push button: its face from the parent's brush, or the look's face when
// the parent leaves the default; the focus fills a plain face with the
// highlight and frames a coloured one.
void paint_push(const Window *w, ControlPaint &p) {
    bool plain = p.brush == GetStockObject(WHITE_BRUSH);
    if (plain) look_fill(p.dc, p.client, p.focused ? LOOK_HIGHLIGHT : LOOK_FACE);
    else FillRect(p.dc, &p.client, p.brush);
    look_frame(p.dc, p.client, LOOK_EDGE, 1);
    if (p.focused && !plain) {
        RECT inner = p.client;
        InflateRect(&inner, -1, -1);
        look_frame(p.dc, inner, LOOK_HIGHLIGHT, 3);
    }
    RECT text = p.client;
    InflateRect(&text, -3, -1);
    COLORREF ink = !p.enabled ? LOOK_GRAYED : p.focused && plain ? LOOK_BAR_TEXT : p.text;
    UINT format = DT_CENTER | ((w->style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    SetTextColor(p.dc, ink);
    DrawTextW(p.dc, w->title.c_str(), int(w->title.size()), &text, format);
}

// A check box or radio button: the mark, then the label beside it; the focus
// fills the whole control with the highlight.
void paint_choice(const Window *w, const ButtonState *s, ControlPaint &p) {
    if (p.focused) look_fill(p.dc, p.client, LOOK_HIGHLIGHT);
    else FillRect(p.dc, &p.client, p.brush);
    int line = control_line_height(w->handle);
    int size = std::min(line - 2, int(p.client.bottom) - 2);
    int top = int(p.client.bottom - size) / 2;
    RECT mark = {2, top, 2 + size, top + size};
    if (kind_of(w->style) == RADIO) look_radio_mark(p.dc, mark, s->check == BST_CHECKED, p.enabled);
    else look_check_mark(p.dc, mark, s->check != BST_UNCHECKED, p.enabled);
    RECT text = {mark.right + 5, 0, p.client.right - 2, p.client.bottom};
    UINT format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    if (w->style & BS_MULTILINE) {
        RECT need = text;
        DrawTextW(p.dc, w->title.c_str(), int(w->title.size()), &need, DT_WORDBREAK | DT_CALCRECT);
        OffsetRect(&text, 0, std::max(0, int(text.bottom - need.bottom) / 2));
        format = DT_LEFT | DT_WORDBREAK;
    }
    SetTextColor(p.dc, !p.enabled ? LOOK_GRAYED : p.focused ? LOOK_BAR_TEXT : p.text);
    DrawTextW(p.dc, w->title.c_str(), int(w->title.size()), &text, format);
}

void paint_button(HWND window) {
    Window *w = window_get(window);
    ControlPaint p;
    control_paint_begin(window, kind_of(w->style) == PUSH ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC, &p);
    w = window_get(window);
    ButtonState *s = state_of<ButtonState>(window);
    if (w && s) {
        if (kind_of(w->style) == PUSH) paint_push(w, p);
        else paint_choice(w, s, p);
    }
    control_paint_end(window, &p);
}

LRESULT dialog_code(HWND window, LPARAM msg) {
    DWORD style = control_style(window);
    LRESULT code = DLGC_BUTTON;
    if (kind_of(style) == RADIO) code |= DLGC_RADIOBUTTON;
    if (kind_of(style) == PUSH)
        code |= (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    if (dlgcode_key_is(msg, VK_RETURN)) code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT button_state(HWND window, const ButtonState *s) {
    return LRESULT(s->check | (s->pushed ? BST_PUSHED : 0) | (control_focused(window) ? BST_FOCUS : 0));
}

}  // namespace

LRESULT button_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ButtonState *s = state_of<ButtonState>(window);
    switch (message) {
    case WM_CREATE: state_make<ButtonState>(window); return 0;
    case WM_PAINT: paint_button(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return dialog_code(window, lparam);
    case WM_KEYDOWN:
        if (wparam == VK_RETURN) click(window);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
    case BM_CLICK: click(window); return 0;
    case BM_SETCHECK: set_check(window, UINT(wparam) & (BST_CHECKED | BST_INDETERMINATE)); return 0;
    case BM_GETCHECK: return s && kind_of(control_style(window)) != PUSH ? LRESULT(s->check) : 0;
    case BM_GETSTATE: return s ? button_state(window, s) : 0;
    case BM_SETSTATE:
        if (s) s->pushed = wparam != 0;
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace plat

// The drop-down list: a field showing the chosen item with a down arrow.
// Left and right step to the item before or after; the action key drops the
// list to choose from. The parent gets CBN_SELCHANGE when the user changes
// the choice. Its window text is the chosen item's.
#include <algorithm>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

constexpr int FIELD_PAD = 8;
constexpr int ARROW_ROOM = 14;

struct ComboState : ClassState {
    std::vector<TextItem> items;
    int current = -1;

    void describe(HWND, std::string *out) const override {
        *out += " current=" + std::to_string(current) + " count=" + std::to_string(items.size());
    }
    const std::wstring *chosen() const { return current >= 0 ? &items[size_t(current)].text : nullptr; }
};

bool valid(const ComboState *s, WPARAM index) { return index < s->items.size(); }

void choose(HWND window, ComboState *s, int index) {
    if (index < 0 || index >= int(s->items.size()) || index == s->current) return;
    s->current = index;
    InvalidateRect(window, nullptr, TRUE);
    notify_command(window, CBN_SELCHANGE);
}

void key_down(HWND window, ComboState *s, int vk) {
    if (drop_list_is_open(window)) return choose(window, s, drop_list_key(window, vk));
    if (vk == VK_LEFT) choose(window, s, std::max(0, s->current - 1));
    else if (vk == VK_RIGHT) choose(window, s, s->current + 1);
    else if (vk == VK_RETURN) drop_list_open(window, s->items, s->current, false);
}

void paint_combo(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLORLISTBOX, &p);
    ComboState *s = state_of<ComboState>(window);
    if (s) {
        look_field(p.dc, p.client, p.focused || drop_list_is_open(window));
        RECT arrow = {p.client.right - 2 - ARROW_ROOM, 0, p.client.right - 2, p.client.bottom};
        look_arrow(p.dc, arrow, VK_DOWN, 5, !p.enabled ? LOOK_GRAYED : p.focused ? LOOK_HIGHLIGHT : LOOK_FIELD_EDGE);
        RECT text = {4, 0, arrow.left - 2, p.client.bottom};
        SetTextColor(p.dc, p.enabled ? p.text : LOOK_GRAYED);
        if (const std::wstring *chosen = s->chosen())
            DrawTextW(p.dc, chosen->c_str(), int(chosen->size()), &text,
                      DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    control_paint_end(window, &p);
}

// -1 clears the choice and still answers CB_ERR, as on the phone.
LRESULT set_cur_sel(HWND window, ComboState *s, WPARAM index) {
    bool clear = int(index) == -1;
    if (!clear && !valid(s, index)) return CB_ERR;
    s->current = clear ? -1 : int(index);
    InvalidateRect(window, nullptr, TRUE);
    return clear ? CB_ERR : LRESULT(index);
}

LRESULT show_drop_down(HWND window, ComboState *s, bool show) {
    if (show && !drop_list_is_open(window)) drop_list_open(window, s->items, s->current, false);
    if (!show) drop_list_close(window);
    return TRUE;
}

LRESULT combo_message(HWND window, ComboState *s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case CB_ADDSTRING:
        if (!lparam) return CB_ERR;
        s->items.push_back({reinterpret_cast<LPCWSTR>(lparam), false});
        return LRESULT(s->items.size() - 1);
    case CB_GETCOUNT: return LRESULT(s->items.size());
    case CB_GETCURSEL: return s->current;
    case CB_SETCURSEL: return set_cur_sel(window, s, wparam);
    case CB_GETLBTEXT: return valid(s, wparam) ? copy_item_text(s->items[wparam].text, lparam) : CB_ERR;
    case CB_GETLBTEXTLEN: return valid(s, wparam) ? LRESULT(s->items[wparam].text.size()) : CB_ERR;
    case CB_SHOWDROPDOWN: return show_drop_down(window, s, wparam != 0);
    case CB_GETDROPPEDSTATE: return drop_list_is_open(window);
    case WM_GETTEXT: return copy_window_text(s->chosen() ? *s->chosen() : L"", wparam, lparam);
    case WM_GETTEXTLENGTH: return s->chosen() ? LRESULT(s->chosen()->size()) : 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

LRESULT combo_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ComboState *s = state_of<ComboState>(window);
    if (message == WM_CREATE) {
        // The template's height is the dropped list's; the field is one line.
        state_make<ComboState>(window);
        SetWindowPos(window, nullptr, 0, 0, int(reinterpret_cast<CREATESTRUCTW *>(lparam)->cx),
                     control_line_height(window) + FIELD_PAD, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_combo(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE:
        if (drop_list_is_open(window)) return DLGC_WANTALLKEYS | DLGC_WANTARROWS;
        return dlgcode_key_is(lparam, VK_RETURN) ? DLGC_WANTMESSAGE : 0;
    case WM_KEYDOWN: key_down(window, s, int(wparam)); return 0;
    case WM_KILLFOCUS:
    case WM_DESTROY: drop_list_close(window); [[fallthrough]];
    case WM_SETFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
    default: return combo_message(window, s, message, wparam, lparam);
    }
}

}  // namespace plat

// The list box as the phone shows it: a spin box with one item in view and
// arrows at both ends. Left and right turn it (wrapping with UDS_WRAP from
// its up-down buddy) and, with LBS_NOTIFY, tell the parent LBN_SELCHANGE.
// With LBS_MULTIPLESEL left and right move through the items and the action
// key selects or clears the one in view; a mark shows which it is. An
// expandable spin box (UDS_EXPANDABLE) opens the whole list on the action key.
#include <algorithm>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

constexpr int ARROW_ROOM = 12;

struct ListBoxState : ClassState {
    std::vector<TextItem> items;
    // The item in view: the selection of a single-selection list (-1 for
    // none), the caret of a multiple-selection one.
    int current = -1;
    DWORD spin = 0;  // the up-down buddy's styles

    void describe(HWND, std::string *out) const override {
        *out += " current=" + std::to_string(current) + " count=" + std::to_string(items.size());
        std::string selected;
        for (size_t i = 0; i < items.size(); i++)
            if (items[i].selected) selected += (selected.empty() ? "" : ",") + std::to_string(i);
        if (!selected.empty()) *out += " selected=" + selected;
    }
};

bool multiple(HWND window) { return has_style(window, LBS_MULTIPLESEL); }

bool valid(const ListBoxState *s, WPARAM index) { return index < s->items.size(); }

void selection_changed(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    if (has_style(window, LBS_NOTIFY)) notify_command(window, LBN_SELCHANGE);
}

// Left or right: the next item, wrapping when the buddy says so.
void turn(HWND window, ListBoxState *s, int step) {
    int count = int(s->items.size());
    if (count == 0) return;
    int next = s->current < 0 ? (step > 0 ? 0 : count - 1) : s->current + step;
    if (next < 0 || next >= count) {
        if (!(s->spin & UDS_WRAP)) return;
        next = (next + count) % count;
    }
    if (next == s->current) return;
    s->current = next;
    if (multiple(window)) InvalidateRect(window, nullptr, TRUE);
    else selection_changed(window);
}

void choose(HWND window, ListBoxState *s, int chosen) {
    if (chosen < 0 || chosen == s->current) return;
    s->current = chosen;
    selection_changed(window);
}

void action(HWND window, ListBoxState *s) {
    if (multiple(window)) {
        if (s->current < 0) return;
        s->items[size_t(s->current)].selected = !s->items[size_t(s->current)].selected;
        selection_changed(window);
    } else if (s->spin & UDS_EXPANDABLE) {
        drop_list_open(window, s->items, s->current, true);
    }
}

void key_down(HWND window, ListBoxState *s, int vk) {
    if (drop_list_is_open(window)) return choose(window, s, drop_list_key(window, vk));
    if (vk == VK_LEFT || vk == VK_RIGHT) turn(window, s, vk == VK_LEFT ? -1 : 1);
    else if (vk == VK_RETURN) action(window, s);
}

LRESULT dialog_code(HWND window, const ListBoxState *s, LPARAM msg) {
    if (drop_list_is_open(window)) return DLGC_WANTALLKEYS | DLGC_WANTARROWS;
    bool takes_action = multiple(window) || (s->spin & UDS_EXPANDABLE);
    return takes_action && dlgcode_key_is(msg, VK_RETURN) ? DLGC_WANTMESSAGE : 0;
}

void paint_list_box(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLORLISTBOX, &p);
    ListBoxState *s = state_of<ListBoxState>(window);
    if (s) {
        look_field(p.dc, p.client, p.focused);
        COLORREF arrows = !p.enabled ? LOOK_GRAYED : p.focused ? LOOK_HIGHLIGHT : LOOK_FIELD_EDGE;
        RECT left = {2, 0, 2 + ARROW_ROOM, p.client.bottom}, right = {p.client.right - 2 - ARROW_ROOM, 0,
                                                                     p.client.right - 2, p.client.bottom};
        look_arrow(p.dc, left, VK_LEFT, 5, arrows);
        look_arrow(p.dc, right, VK_RIGHT, 5, arrows);
        RECT text = {left.right + 2, 0, right.left - 2, p.client.bottom};
        if (s->current >= 0 && size_t(s->current) < s->items.size()) {
            const TextItem &item = s->items[size_t(s->current)];
            if (multiple(window)) {
                int size = std::min(control_line_height(window) - 2, int(p.client.bottom) - 6);
                int top = int(p.client.bottom - size) / 2;
                RECT mark = {text.left, top, text.left + size, top + size};
                look_check_mark(p.dc, mark, item.selected, p.enabled);
                text.left = mark.right + 4;
            }
            SetTextColor(p.dc, p.enabled ? p.text : LOOK_GRAYED);
            DrawTextW(p.dc, item.text.c_str(), int(item.text.size()), &text,
                      DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
    control_paint_end(window, &p);
}

LRESULT add_string(HWND window, ListBoxState *s, LPARAM text) {
    if (!text) return LB_ERR;
    s->items.push_back({reinterpret_cast<LPCWSTR>(text), false});
    if (multiple(window) && s->current < 0) s->current = 0;
    InvalidateRect(window, nullptr, TRUE);
    return LRESULT(s->items.size() - 1);
}

// -1 clears the selection and still answers LB_ERR, as on the phone.
LRESULT set_cur_sel(HWND window, ListBoxState *s, WPARAM index) {
    if (multiple(window)) return LB_ERR;
    if (int(index) == -1) {
        s->current = -1;
        InvalidateRect(window, nullptr, TRUE);
        return LB_ERR;
    }
    if (!valid(s, index)) return LB_ERR;
    s->current = int(index);
    InvalidateRect(window, nullptr, TRUE);
    return LRESULT(index);
}

LRESULT get_cur_sel(const ListBoxState *s) { return s->current < 0 || s->items.empty() ? LB_ERR : s->current; }

// -1 selects or clears every item.
LRESULT set_sel(HWND window, ListBoxState *s, WPARAM select, LPARAM index) {
    if (!multiple(window)) return LB_ERR;
    if (index == -1) {
        for (TextItem &item : s->items) item.selected = select != 0;
    } else if (index >= 0 && valid(s, WPARAM(index))) {
        s->items[size_t(index)].selected = select != 0;
    } else {
        return LB_ERR;
    }
    InvalidateRect(window, nullptr, TRUE);
    return LB_OKAY;
}

LRESULT get_sel(HWND window, const ListBoxState *s, WPARAM index) {
    if (!valid(s, index)) return LB_ERR;
    return multiple(window) ? s->items[index].selected : int(index) == s->current;
}

LRESULT list_message(HWND window, ListBoxState *s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case LB_ADDSTRING: return add_string(window, s, lparam);
    case LB_GETCOUNT: return LRESULT(s->items.size());
    case LB_GETTEXT: return valid(s, wparam) ? copy_item_text(s->items[wparam].text, lparam) : LB_ERR;
    case LB_GETTEXTLEN: return valid(s, wparam) ? LRESULT(s->items[wparam].text.size()) : LB_ERR;
    case LB_SETCURSEL: return set_cur_sel(window, s, wparam);
    case LB_GETCURSEL: return get_cur_sel(s);
    case LB_SETSEL: return set_sel(window, s, wparam, lparam);
    case LB_GETSEL: return get_sel(window, s, wparam);
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

void list_box_set_spin(HWND list, DWORD updown_style) {
    if (ListBoxState *s = state_of<ListBoxState>(list)) {
        s->spin = updown_style;
        InvalidateRect(list, nullptr, TRUE);
    }
}

LRESULT list_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ListBoxState *s = state_of<ListBoxState>(window);
    if (message == WM_CREATE) {
        state_make<ListBoxState>(window);
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_list_box(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return dialog_code(window, s, lparam);
    case WM_KEYDOWN: key_down(window, s, int(wparam)); return 0;
    case WM_KILLFOCUS:
    case WM_DESTROY: drop_list_close(window); [[fallthrough]];
    case WM_SETFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
    default: return list_message(window, s, message, wparam, lparam);
    }
}

}  // namespace plat

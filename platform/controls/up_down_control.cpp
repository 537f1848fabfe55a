// The up-down control. On the phone it only serves a list box as its buddy,
// making it a spin box; the list box draws the arrows, so the up-down itself
// takes no room. With UDS_AUTOBUDDY the buddy is the control made just before.
#include <algorithm>

#include "platform/controls/control_internal.h"

namespace plat {

namespace {

struct UpDownState : ClassState {
    HWND buddy = nullptr;
};

HWND previous_sibling(HWND window) {
    Window *w = window_get(window);
    Window *parent = w ? window_get(w->parent) : nullptr;
    if (!parent) return nullptr;
    auto self = std::find(parent->children.begin(), parent->children.end(), window);
    return self == parent->children.begin() || self == parent->children.end() ? nullptr : *(self - 1);
}

HWND set_buddy(HWND window, UpDownState *s, HWND buddy) {
    HWND old = s->buddy;
    s->buddy = buddy;
    list_box_set_spin(buddy, control_style(window));
    return old;
}

}  // namespace

LRESULT up_down_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    UpDownState *s = state_of<UpDownState>(window);
    switch (message) {
    case WM_CREATE:
        s = state_make<UpDownState>(window);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (has_style(window, UDS_AUTOBUDDY)) set_buddy(window, s, previous_sibling(window));
        return 0;
    case UDM_SETBUDDY: return s ? reinterpret_cast<LRESULT>(set_buddy(window, s, reinterpret_cast<HWND>(wparam))) : 0;
    case UDM_GETBUDDY: return s ? reinterpret_cast<LRESULT>(s->buddy) : 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace plat

// Where a key goes: an open popup menu takes every key; the soft keys go to
// the foreground window's soft-key bar; Back reaches the foreground window as
// a hot key; everything else goes to the focus window as key messages.
#include "platform/controls/control_internal.h"
#include "platform/shell/menu_internal.h"
#include "platform/screen/screen.h"
#include "platform/shell/shell.h"

using plat::Window;

namespace {

// The focus window when it lies inside the foreground window, else the
// foreground window itself.
HWND key_target() {
    plat::WindowTable &t = plat::window_table();
    HWND fg = t.foreground;
    for (Window *w = plat::window_get(t.focus); w; w = plat::window_get(w->parent))
        if (w->handle == fg) return t.focus;
    return fg;
}

void send_press(HWND target, int vk, wchar_t ch, bool down, bool up) {
    if (!target) return;
    if (down) PostMessageW(target, WM_KEYDOWN, WPARAM(vk), 1);
    if (down && ch) PostMessageW(target, WM_CHAR, WPARAM(ch), 1);
    if (up) PostMessageW(target, WM_KEYUP, WPARAM(vk), LPARAM(0xC0000001u));
}

// Soft keys and Back as the menu bar's overrides say. Back notifies the
// foreground window (WM_HOTKEY) unless told not to; it has no other default
// here. A soft key does its command or opens its popup unless told not to.
bool shell_key(int vk) {
    HWND bar = plat::menubar_of_foreground(), fg = plat::window_table().foreground;
    int id;
    UINT bits = plat::menubar_override(bar, vk, &id);
    bool back = vk == VK_TBACK;
    bool notify = (bits & SHMBOF_NOTIFY) || (back && !(bits & SHMBOF_NODEFAULT));
    if (notify && fg) PostMessageW(fg, WM_HOTKEY, WPARAM(id), MAKELONG(0, vk));
    if (back || (bits & SHMBOF_NODEFAULT)) return true;
    return plat::menubar_press(bar, vk == VK_TSOFT1 ? 0 : 1);
}

}  // namespace

void plat::input_key(int vk, wchar_t ch) {
    if (menu_key(vk, ch)) return;
    if ((vk == VK_TSOFT1 || vk == VK_TSOFT2 || vk == VK_TBACK) && shell_key(vk)) return;
    HWND fg = window_table().foreground;
    if (vk == VK_HELP) {
        if (fg) PostMessageW(fg, WM_HELP, 0, 0);
        return;
    }
    send_press(key_target(), vk, ch, true, true);
}

void SHSendBackToFocusWindow(UINT message, WPARAM, LPARAM lparam) {
    if (message != WM_HOTKEY || HIWORD(lparam) != VK_TBACK) return;
    bool key_up = (LOWORD(lparam) & MOD_KEYUP) != 0;
    send_press(key_target(), VK_TBACK, 0, !key_up, true);
}

HWND SetFocus(HWND window) {
    plat::WindowTable &t = plat::window_table();
    Window *w = window ? plat::window_get(window) : nullptr;
    if (window && (!w || !w->remote.empty())) return nullptr;
    HWND old = t.focus;
    if (old == window) return old;
    t.focus = window;
    if (old && plat::window_get(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window && plat::window_get(window) && t.focus == window)
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    if (window && t.focus == window) plat::dialog_focus_moved(window);
    return old;
}

HWND GetFocus(void) { return plat::window_table().focus; }

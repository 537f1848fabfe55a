// A window's properties: its longs, text, visibility, position and place in
// the z-order, and which window is in the foreground.
#include <algorithm>

#include "platform/core/last_error.h"
#include "platform/shell/menu_internal.h"
#include "platform/screen/screen.h"
#include "platform/core/text.h"
#include "platform/window/window_internal.h"

using plat::Window;
using plat::WindowTable;

namespace {

Window *local_window(HWND handle) {
    Window *w = plat::window_get(handle);
    if (!w || !w->remote.empty()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return w;
}

void mark_layout_changed(Window *w) {
    if (!w->parent) plat::window_table().layout_changed = true;
}

}  // namespace

void plat::window_raise(WindowTable &t, HWND handle) {
    std::lock_guard<std::recursive_mutex> g(t.lock);
    Window *w = window_get(handle);
    if (!w || w->parent) return;
    auto &list = t.top_levels;
    list.erase(std::remove(list.begin(), list.end(), handle), list.end());
    auto pos = list.end();
    if (!w->topmost) {
        // Below the first topmost window.
        pos = std::find_if(list.begin(), list.end(), [](HWND h) {
            Window *o = window_get(h);
            return o && o->topmost;
        });
    }
    list.insert(pos, handle);
    t.layout_changed = true;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window *w = local_window(handle);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->ex_style);
    case GWL_ID: return w->id;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    default: {
        auto it = w->longs.find(index);
        return it == w->longs.end() ? 0 : it->second;
    }
    }
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    Window *w = local_window(handle);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrW(handle, index);
    switch (index) {
    case GWL_STYLE: w->style = DWORD(value); break;
    case GWL_EXSTYLE: w->ex_style = DWORD(value); break;
    case GWL_ID: w->id = int(value); break;
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    default: w->longs[index] = value;
    }
    return old;
}

LONG GetWindowLongW(HWND handle, int index) { return LONG(GetWindowLongPtrW(handle, index)); }

LONG SetWindowLongW(HWND handle, int index, LONG value) { return LONG(SetWindowLongPtrW(handle, index, value)); }

int GetWindowTextLengthW(HWND handle) { return int(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0)); }

int GetWindowTextW(HWND handle, LPWSTR text, int chars) {
    if (!text || chars <= 0) return 0;
    text[0] = L'\0';
    return int(SendMessageW(handle, WM_GETTEXT, WPARAM(chars), reinterpret_cast<LPARAM>(text)));
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    return SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND handle, int command) {
    Window *w = local_window(handle);
    if (!w) return FALSE;
    bool was_visible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show != was_visible) {
        SendMessageW(handle, WM_SHOWWINDOW, show, 0);
        if (!(w = plat::window_get(handle))) return was_visible;
        if (show) {
            if (!w->parent) plat::screen_ensure();
            w->style |= WS_VISIBLE;
            InvalidateRect(handle, nullptr, TRUE);
        } else {
            w->style &= ~WS_VISIBLE;
            if (w->parent) {
                RECT r = w->rect;
                InvalidateRect(w->parent, &r, TRUE);
            }
        }
        mark_layout_changed(w);
    }
    if (show && !w->parent && command != SW_SHOWNA) SetForegroundWindow(handle);
    return was_visible;
}

BOOL IsWindowVisible(HWND handle) {
    for (Window *w = plat::window_get(handle); w; w = w->parent ? plat::window_get(w->parent) : nullptr)
        if (!(w->style & WS_VISIBLE)) return FALSE;
    return plat::window_get(handle) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    Window *w = local_window(handle);
    if (!w) return FALSE;
    bool was_disabled = !w->enabled;
    if (w->enabled != bool(enable)) {
        w->enabled = enable;
        if (enable) w->style &= ~WS_DISABLED;
        else w->style |= WS_DISABLED;
        SendMessageW(handle, WM_ENABLE, enable, 0);
        InvalidateRect(handle, nullptr, TRUE);
    }
    return was_disabled;
}

BOOL IsWindowEnabled(HWND handle) {
    Window *w = plat::window_get(handle);
    return w && w->enabled ? TRUE : FALSE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Window *w = local_window(handle);
    if (!w || !rect) return FALSE;
    SetRect(rect, 0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top);
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Window *w = local_window(handle);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    // Screen coordinates: add the offsets of every parent.
    for (HWND p = w->parent; p;) {
        Window *pw = plat::window_get(p);
        if (!pw) break;
        OffsetRect(rect, pw->rect.left, pw->rect.top);
        p = pw->parent;
    }
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND after, int x, int y, int width, int height, UINT flags) {
    Window *w = local_window(handle);
    if (!w) return FALSE;
    RECT old = w->rect;
    if (!(flags & SWP_NOMOVE)) OffsetRect(&w->rect, x - w->rect.left, y - w->rect.top);
    if (!(flags & SWP_NOSIZE)) w->rect.right = w->rect.left + width, w->rect.bottom = w->rect.top + height;
    if (!(flags & SWP_NOZORDER) && !w->parent) {
        if (after == HWND_TOPMOST) w->topmost = true;
        else if (after == HWND_NOTOPMOST) w->topmost = false;
        if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST)
            plat::window_raise(plat::window_table(), handle);
        if ((after == HWND_TOP || after == HWND_TOPMOST) && (w->style & WS_VISIBLE)) plat::screen_raise();
    }
    bool resized = (old.right - old.left) != (w->rect.right - w->rect.left) ||
                   (old.bottom - old.top) != (w->rect.bottom - w->rect.top);
    if (!EqualRect(&old, &w->rect)) {
        if (w->parent) InvalidateRect(w->parent, &old, TRUE);
        InvalidateRect(handle, nullptr, TRUE);
        mark_layout_changed(w);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(handle, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(handle, SW_HIDE);
    if (resized && plat::window_get(handle))
        SendMessageW(handle, WM_SIZE, 0, MAKELONG(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top));
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The phone sets the lowest bit of the handle to bring the window's owned
// windows along; handles here never use that bit.
BOOL SetForegroundWindow(HWND handle) {
    handle = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(handle) & ~uintptr_t(1));
    Window *w = plat::window_get(handle);
    if (!w) return FALSE;
    if (!w->remote.empty()) return plat::ipc_foreground(w);
    while (w->parent) w = plat::window_get(w->parent);
    if (w->ex_style & WS_EX_NOACTIVATE) return FALSE;
    handle = w->handle;
    WindowTable &t = plat::window_table();
    plat::window_raise(t, handle);
    // Owned windows (dialogs) stay above their owner.
    std::vector<HWND> owned;
    for (HWND top : t.top_levels)
        if (Window *o = plat::window_get(top); o && o->owner == handle) owned.push_back(top);
    for (HWND o : owned) plat::window_raise(t, o);
    HWND old = t.foreground;
    if (old == handle) return TRUE;
    t.foreground = handle;
    plat::screen_raise();
    // A window that comes to the front (a message box, a ringing alarm)
    // closes the menu that was open under it.
    plat::menu_close_all();
    if (old && plat::window_get(old)) SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    if (plat::window_get(handle)) SendMessageW(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    return TRUE;
}

HWND GetForegroundWindow(void) { return plat::window_table().foreground; }

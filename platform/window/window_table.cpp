// Creating, finding and destroying windows.
#include <unistd.h>

#include <algorithm>

#include "platform/device/device.h"
#include "platform/core/last_error.h"
#include "platform/core/text.h"
#include "platform/window/window_internal.h"

namespace plat {

WindowTable &window_table() {
    static WindowTable t;
    return t;
}

Window *window_get(HWND handle) {
    WindowTable &t = window_table();
    std::lock_guard<std::recursive_mutex> g(t.lock);
    auto it = t.windows.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.windows.end() ? nullptr : it->second.get();
}

HWND window_new_handle(WindowTable &t) {
    uintptr_t h = t.next_handle;
    t.next_handle += 4;
    return reinterpret_cast<HWND>(h);
}

}  // namespace plat

namespace {

using plat::Window;
using plat::WindowTable;

RECT initial_rect(DWORD style, int x, int y, int w, int h) {
    RECT r;
    if (!(style & WS_CHILD) && (x == CW_USEDEFAULT || w == CW_USEDEFAULT)) {
        plat::window_default_rect(&r);
        if (x != CW_USEDEFAULT) OffsetRect(&r, x - r.left, y == CW_USEDEFAULT ? 0 : y - r.top);
        if (w != CW_USEDEFAULT) r.right = r.left + w, r.bottom = r.top + (h == CW_USEDEFAULT ? r.bottom - r.top : h);
        return r;
    }
    if (x == CW_USEDEFAULT) x = 0, y = 0;
    if (w == CW_USEDEFAULT) w = 0, h = 0;
    SetRect(&r, x, y, x + std::max(w, 0), y + std::max(h, 0));
    return r;
}

void unlink_window(WindowTable &t, Window *w) {
    auto drop = [w](std::vector<HWND> &list) { list.erase(std::remove(list.begin(), list.end(), w->handle), list.end()); };
    if (w->parent) {
        if (Window *p = plat::window_get(w->parent)) drop(p->children);
    } else {
        drop(t.top_levels);
    }
    if (t.foreground == w->handle) t.foreground = nullptr;
    if (t.focus == w->handle) t.focus = nullptr;
}

// The topmost remaining visible top-level window becomes active.
void activate_next(WindowTable &t) {
    for (auto it = t.top_levels.rbegin(); it != t.top_levels.rend(); ++it) {
        Window *w = plat::window_get(*it);
        if (w && !w->destroying && (w->style & WS_VISIBLE) && !(w->ex_style & WS_EX_NOACTIVATE)) {
            SetForegroundWindow(w->handle);
            return;
        }
    }
}

}  // namespace

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    WindowTable &t = plat::window_table();
    HWND handle;
    plat::system_classes_register();
    {
        std::lock_guard<std::recursive_mutex> g(t.lock);
        auto cls = class_name ? t.classes.find(plat::fold_case(class_name)) : t.classes.end();
        if (cls == t.classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window *parent_window = parent ? plat::window_get(parent) : nullptr;
        if ((style & WS_CHILD) && (!parent_window || !parent_window->remote.empty())) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        auto w = std::make_unique<Window>();
        handle = plat::window_new_handle(t);
        w->handle = handle;
        w->window_class = &cls->second;
        w->proc = cls->second.info.lpfnWndProc;
        w->title = title ? title : L"";
        w->style = style & ~WS_VISIBLE;
        w->ex_style = ex_style;
        w->topmost = (ex_style & WS_EX_TOPMOST) != 0;
        w->instance = instance;
        w->enabled = !(style & WS_DISABLED);
        w->rect = initial_rect(style, x, y, width, height);
        if (style & WS_CHILD) {
            w->parent = parent;
            w->id = int(reinterpret_cast<intptr_t>(menu));
            parent_window->children.push_back(handle);
        } else {
            w->owner = parent_window ? parent : nullptr;
            t.top_levels.push_back(handle);
        }
        t.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(w);
    }
    Window *w = plat::window_get(handle);
    CREATESTRUCTW cs = {param, instance, menu, parent, int(w->rect.bottom - w->rect.top),
                        int(w->rect.right - w->rect.left), int(w->rect.top), int(w->rect.left), LONG(style),
                        title, class_name, ex_style};
    if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !plat::window_get(handle)) {
        DestroyWindow(handle);
        return nullptr;
    }
    w = plat::window_get(handle);
    if (!(style & WS_CHILD)) plat::ipc_publish(w);
    SendMessageW(handle, WM_SIZE, 0, MAKELONG(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top));
    if ((style & WS_VISIBLE) && plat::window_get(handle)) ShowWindow(handle, SW_SHOW);
    return plat::window_get(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND handle) {
    Window *w = plat::window_get(handle);
    if (!w || !w->remote.empty()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) return TRUE;  // already on its way, e.g. destroyed inside its own message
    w->destroying = true;
    WindowTable &t = plat::window_table();
    bool was_foreground = t.foreground == handle;
    if (w->style & WS_VISIBLE) ShowWindow(handle, SW_HIDE);
    SendMessageW(handle, WM_DESTROY, 0, 0);
    w = plat::window_get(handle);
    std::vector<HWND> children = w->children;
    for (HWND child : children) DestroyWindow(child);
    w = plat::window_get(handle);
    plat::ipc_unpublish(w);
    plat::loop_forget_window(handle);
    {
        std::lock_guard<std::recursive_mutex> g(t.lock);
        unlink_window(t, w);
        t.windows.erase(reinterpret_cast<uintptr_t>(handle));
    }
    // Owned windows go with their owner.
    std::vector<HWND> owned;
    {
        std::lock_guard<std::recursive_mutex> g(t.lock);
        for (HWND top : t.top_levels)
            if (Window *o = plat::window_get(top); o && o->owner == handle) owned.push_back(top);
    }
    for (HWND o : owned) DestroyWindow(o);
    if (was_foreground) activate_next(t);
    return TRUE;
}

BOOL IsWindow(HWND handle) {
    Window *w = plat::window_get(handle);
    if (!w) return FALSE;
    return w->remote.empty() ? TRUE : (plat::ipc_alive(w) ? TRUE : FALSE);
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD process_id) {
    Window *w = plat::window_get(handle);
    DWORD pid = !w ? 0 : w->remote.empty() ? DWORD(getpid()) : plat::ipc_owner(w);
    if (process_id) *process_id = pid;
    return pid;
}

HWND GetParent(HWND handle) {
    Window *w = plat::window_get(handle);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND FindWindowW(LPCWSTR class_name, LPCWSTR title) {
    WindowTable &t = plat::window_table();
    {
        std::lock_guard<std::recursive_mutex> g(t.lock);
        std::wstring want = class_name ? plat::fold_case(class_name) : L"";
        for (auto it = t.top_levels.rbegin(); it != t.top_levels.rend(); ++it) {
            Window *w = plat::window_get(*it);
            if (!w || w->destroying) continue;
            if (class_name && plat::fold_case(w->window_class->name.c_str()) != want) continue;
            if (title && w->title != title) continue;
            return w->handle;
        }
    }
    return plat::ipc_find(class_name, title);
}

HWND GetDlgItem(HWND dialog, int id) {
    Window *w = plat::window_get(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children) {
        Window *c = plat::window_get(child);
        if (c && c->id == id) return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND handle) {
    Window *w = plat::window_get(handle);
    return w && w->parent ? w->id : 0;
}

// Window classes, registered per process and found without regard to case.
#include "platform/core/last_error.h"
#include "platform/core/text.h"
#include "platform/window/window_internal.h"

BOOL RegisterClassW(const WNDCLASSW *wc) {
    if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    plat::WindowTable &t = plat::window_table();
    std::lock_guard<std::recursive_mutex> g(t.lock);
    std::wstring key = plat::fold_case(wc->lpszClassName);
    if (t.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return FALSE;
    }
    plat::WindowClass &c = t.classes[key];
    c.name = wc->lpszClassName;
    c.info = *wc;
    c.info.lpszClassName = c.name.c_str();
    c.info.lpszMenuName = nullptr;
    return TRUE;
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE) {
    if (!class_name) return FALSE;
    plat::WindowTable &t = plat::window_table();
    std::lock_guard<std::recursive_mutex> g(t.lock);
    std::wstring key = plat::fold_case(class_name);
    auto it = t.classes.find(key);
    if (it == t.classes.end()) return FALSE;
    for (auto &entry : t.windows)
        if (entry.second->window_class == &it->second) return FALSE;  // still in use
    t.classes.erase(it);
    return TRUE;
}

bool plat::window_register_internal(const WCHAR *class_name, WNDPROC proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = class_name;
    return RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

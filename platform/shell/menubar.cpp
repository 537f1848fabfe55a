// The soft-key bar: a window at the bottom of the screen owned by a
// full-screen window, with a left and a right key, each sending a command or
// opening a popup menu.
#include <map>

#include "platform/core/last_error.h"
#include "platform/screen/look.h"
#include "platform/shell/menu_internal.h"
#include "platform/screen/screen.h"
#include "platform/shell/shell.h"
#include "platform/core/text.h"

namespace plat {

namespace {

const WCHAR BAR_CLASS[] = L"menu_worker";
constexpr int KEY_PADDING = 6;

// The keys whose handling SHCMBM_OVERRIDEKEY changes, in the order of their
// hot-key identifiers.
const int OVERRIDABLE[] = {VK_TSOFT1, VK_TSOFT2, VK_TBACK};

struct MenuBar {
    HWND owner = nullptr;
    SoftKey keys[2];
    HMENU menu = nullptr;  // its items are the two keys: what SHCMBM_GETMENU hands out
    int open_key = -1;
    UINT overrides[3] = {0, 0, 0};  // SHMBOF_* bits, by OVERRIDABLE
};

int override_slot(WPARAM vk) {
    for (int i = 0; i < 3; i++)
        if (WPARAM(OVERRIDABLE[i]) == vk) return i;
    return -1;
}

std::map<HWND, MenuBar> &bars() {
    static std::map<HWND, MenuBar> b;
    return b;
}

MenuBar *bar_get(HWND bar) {
    auto it = bars().find(bar);
    return it == bars().end() ? nullptr : &it->second;
}

bool key_present(const SoftKey &k) { return !k.text.empty() || k.popup || k.command; }

SoftKey *key_by_command(MenuBar *b, UINT command) {
    for (SoftKey &k : b->keys)
        if (key_present(k) && k.command == command) return &k;
    return nullptr;
}

void paint_bar(HWND window, MenuBar *b) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    look_fill(dc, client, LOOK_BAR);
    int half = int(client.right / 2);
    HGDIOBJ old = SelectObject(dc, look_font(true));
    for (int i = 0; i < 2; i++) {
        const SoftKey &k = b->keys[i];
        RECT r = {i == 0 ? 0 : half, 0, i == 0 ? half : client.right, client.bottom};
        if (b->open_key == i) look_fill(dc, r, LOOK_HIGHLIGHT);
        InflateRect(&r, -KEY_PADDING, 0);
        look_text(dc, r, k.text.c_str(), k.enabled ? LOOK_BAR_TEXT : LOOK_GRAYED,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | (i == 0 ? DT_LEFT : DT_RIGHT));
    }
    RECT divider = {half, client.bottom / 4, half + 1, client.bottom - client.bottom / 4};
    if (key_present(b->keys[0]) && key_present(b->keys[1])) look_fill(dc, divider, LOOK_EDGE);
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT bar_message(MenuBar *b, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case TB_ENABLEBUTTON: {
        SoftKey *k = key_by_command(b, UINT(wparam));
        if (!k) return FALSE;
        k->enabled = LOWORD(lparam) != 0;
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    }
    case TB_ISBUTTONENABLED: {
        SoftKey *k = key_by_command(b, UINT(wparam));
        return k && k->enabled;
    }
    case SHCMBM_GETMENU: return reinterpret_cast<LRESULT>(b->menu);
    case SHCMBM_GETSUBMENU: {
        SoftKey *k = key_by_command(b, UINT(lparam));
        return k ? reinterpret_cast<LRESULT>(k->popup) : 0;
    }
    case SHCMBM_OVERRIDEKEY: {
        int slot = override_slot(wparam);
        if (slot < 0) return 0;
        UINT old = b->overrides[slot], mask = LOWORD(lparam) & (SHMBOF_NODEFAULT | SHMBOF_NOTIFY);
        b->overrides[slot] = (old & ~mask) | (HIWORD(lparam) & mask);
        return LRESULT(old);
    }
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

LRESULT bar_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MenuBar *b = bar_get(window);
    if (message == WM_DESTROY && b) {
        if (menu_is_open()) menu_close_all();
        DestroyMenu(b->menu);
        bars().erase(window);
        return 0;
    }
    if (!b) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_PAINT) {
        paint_bar(window, b);
        return 0;
    }
    return bar_message(b, window, message, wparam, lparam);
}

bool is_bar(HWND h) { return bar_get(h) != nullptr; }

}  // namespace

HWND menubar_create(HWND owner, const SoftKey keys[2]) {
    if (!window_register_internal(BAR_CLASS, bar_proc)) return nullptr;
    RECT area;
    screen_softkey_area(&area);
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, BAR_CLASS, L"", WS_POPUP, int(area.left), int(area.top),
                               int(area.right - area.left), int(area.bottom - area.top), owner, nullptr, nullptr,
                               nullptr);
    if (!bar) return nullptr;
    MenuBar &b = bars()[bar];
    b.owner = owner;
    b.menu = CreatePopupMenu();
    for (int i = 0; i < 2; i++) {
        b.keys[i] = keys[i];
        if (b.keys[i].popup)
            AppendMenuW(b.menu, MF_POPUP, reinterpret_cast<UINT_PTR>(b.keys[i].popup), b.keys[i].text.c_str());
        else
            AppendMenuW(b.menu, MF_STRING, b.keys[i].command, b.keys[i].text.c_str());
    }
    return bar;
}

HWND menubar_owner(HWND bar) {
    MenuBar *b = bar_get(bar);
    return b ? b->owner : nullptr;
}

HWND menubar_of_foreground(void) {
    WindowTable &t = window_table();
    HWND fg = t.foreground;
    if (!fg) return nullptr;
    for (auto it = t.top_levels.rbegin(); it != t.top_levels.rend(); ++it) {
        Window *w = window_get(*it);
        if (w && (w->style & WS_VISIBLE) && w->owner == fg && is_bar(*it)) return *it;
    }
    return nullptr;
}

UINT menubar_override(HWND bar, int vk, int *hotkey_id) {
    MenuBar *b = bar_get(bar);
    int slot = override_slot(WPARAM(vk));
    *hotkey_id = slot;
    return b && slot >= 0 ? b->overrides[slot] : 0;
}

bool menubar_press(HWND bar, int index) {
    MenuBar *b = bar_get(bar);
    if (!b || index < 0 || index > 1 || !key_present(b->keys[index])) return false;
    const SoftKey &k = b->keys[index];
    if (!k.enabled) return true;
    if (k.popup)
        menu_open(bar, index, k.popup);
    else
        PostMessageW(b->owner, WM_COMMAND, MAKELONG(k.command, 0), 0);
    return true;
}

void menubar_set_open(HWND bar, int index) {
    MenuBar *b = bar_get(bar);
    if (!b || b->open_key == index) return;
    b->open_key = index;
    InvalidateRect(bar, nullptr, FALSE);
}

}  // namespace plat

BOOL SHCreateMenuBar(SHMENUBARINFO *info) {
    if (!info || info->cbSize < 36) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = nullptr;
    plat::Window *owner = plat::window_get(info->hwndParent);
    if (!owner || !owner->remote.empty()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    plat::SoftKey keys[2];
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        const MenuBarResource *res = resources_find_menubar(int(info->nToolBarId));
        if (!res) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        for (int i = 0; i < 2; i++) {
            const SoftKeyResource &r = res->keys[i];
            WCHAR text[80] = L"";
            if (r.text_id) LoadStringW(info->hInstRes, r.text_id, text, 80);
            else if (r.text) plat::copy_wide(text, 80, r.text);
            keys[i].text = text;
            keys[i].command = r.command;
            if (r.popup) keys[i].popup = plat::menu_from_resource(r.popup, r.popup_count);
        }
    }
    HWND bar = plat::menubar_create(info->hwndParent, keys);
    if (!bar) {
        for (auto &k : keys)
            if (k.popup) DestroyMenu(k.popup);
        return FALSE;
    }
    if (!(info->dwFlags & SHCMBF_HIDDEN)) ShowWindow(bar, SW_SHOWNA);
    info->hwndMB = bar;
    return TRUE;
}

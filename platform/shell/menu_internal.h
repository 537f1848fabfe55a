// Menu records behind HMENU handles, and the soft-key bar's services for
// the screen. Internal to the platform.
#pragma once

#include <string>
#include <vector>

#include "platform/shell/menu.h"
#include "platform/core/resources.h"
#include "platform/window/window_internal.h"

namespace plat {

struct MenuItem {
    UINT flags = 0;  // MF_GRAYED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    UINT id = 0;
    std::wstring text;
    HMENU submenu = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

Menu *menu_get(HMENU handle);
HMENU menu_from_resource(const MenuItemResource *items, int count);
bool menu_item_selectable(const MenuItem &item);

// One soft key as the bar shows it.
struct SoftKey {
    std::wstring text;
    UINT command = 0;
    HMENU popup = nullptr;  // opens on the key instead of sending the command
    bool enabled = true;
};

// A soft-key bar window owned by `owner`, at the bottom of the screen.
HWND menubar_create(HWND owner, const SoftKey keys[2]);
// The bar that belongs to the foreground window, if any.
HWND menubar_of_foreground(void);
// What SHCMBM_OVERRIDEKEY set for a soft key or Back (SHMBOF_* bits, 0 for
// none or no bar) and the key's hot-key identifier (0, 1, 2).
UINT menubar_override(HWND bar, int vk, int *hotkey_id);
// A soft key was pressed: opens its popup or sends its command. False when
// there is no such key.
bool menubar_press(HWND bar, int index);
// Marks which soft key's popup is open (-1 none), for drawing.
void menubar_set_open(HWND bar, int index);
HWND menubar_owner(HWND bar);

// The open popup menu, if any, takes every key.
bool menu_is_open(void);
void menu_open(HWND bar, int key_index, HMENU popup);
bool menu_key(int vk, wchar_t ch);
void menu_close_all(void);

}  // namespace plat

// Menus behind their handles: items with text, command, separator and
// submenu; grayed and checked states changed by command or position.
#include "platform/core/handle_table.h"
#include "platform/core/last_error.h"
#include "platform/shell/menu_internal.h"

namespace plat {

namespace {

HandleTable<Menu> &menus() {
    static HandleTable<Menu> t(0x30000);
    return t;
}

// The item by position, or by command anywhere in the menu and its submenus.
MenuItem *find_item(HMENU handle, UINT item, UINT flags) {
    Menu *m = menu_get(handle);
    if (!m) return nullptr;
    if (flags & MF_BYPOSITION) return item < m->items.size() ? &m->items[item] : nullptr;
    for (MenuItem &it : m->items) {
        if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == item) return &it;
        if (it.submenu)
            if (MenuItem *found = find_item(it.submenu, item, flags)) return found;
    }
    return nullptr;
}

DWORD change_state(HMENU menu, UINT item, UINT flags, UINT mask) {
    MenuItem *it = find_item(menu, item, flags);
    if (!it) return DWORD(-1);
    DWORD old = it->flags & mask;
    it->flags = (it->flags & ~mask) | (flags & mask);
    return old;
}

}  // namespace

Menu *menu_get(HMENU handle) {
    return menus().find(handle);
}

HMENU menu_from_resource(const MenuItemResource *items, int count) {
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < count; i++) {
        const MenuItemResource &r = items[i];
        if (r.flags & MF_POPUP) {
            HMENU sub = menu_from_resource(r.popup, r.popup_count);
            AppendMenuW(menu, r.flags, reinterpret_cast<UINT_PTR>(sub), r.text);
        } else {
            AppendMenuW(menu, r.flags, r.command, r.text);
        }
    }
    return menu;
}

bool menu_item_selectable(const MenuItem &item) { return !(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)); }

}  // namespace plat

HMENU CreatePopupMenu(void) { return plat::menus().add<HMENU>(std::make_unique<plat::Menu>()); }

BOOL AppendMenuW(HMENU handle, UINT flags, UINT_PTR id_or_popup, LPCWSTR text) {
    plat::Menu *m = plat::menu_get(handle);
    if (!m || ((flags & MF_POPUP) && !plat::menu_get(reinterpret_cast<HMENU>(id_or_popup)))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    plat::MenuItem item;
    item.flags = flags;
    if (flags & MF_POPUP) item.submenu = reinterpret_cast<HMENU>(id_or_popup);
    else item.id = UINT(id_or_popup);
    if (text && !(flags & MF_SEPARATOR)) item.text = text;
    m->items.push_back(item);
    return TRUE;
}

BOOL DestroyMenu(HMENU handle) {
    plat::Menu *m = plat::menu_get(handle);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::vector<HMENU> subs;
    for (auto &it : m->items)
        if (it.submenu) subs.push_back(it.submenu);
    plat::menus().erase(handle);
    for (HMENU s : subs) DestroyMenu(s);
    return TRUE;
}

DWORD EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    return plat::change_state(menu, item, flags, MF_GRAYED | MF_DISABLED);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) { return plat::change_state(menu, item, flags, MF_CHECKED); }

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    plat::MenuItem *it = plat::find_item(menu, item, flags);
    return it ? it->flags : UINT(-1);
}

// Menus: the popup menus of the soft keys, their items' states.
#pragma once

#include "platform/core/types.h"

#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_STRING 0x00000000L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_SEPARATOR 0x00000800L

HMENU CreatePopupMenu(void);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCWSTR text);
BOOL DestroyMenu(HMENU menu);
// Return the item's previous state (MF_GRAYED / MF_CHECKED), or (DWORD)-1
// when no such item exists. By command, submenus are searched too.
DWORD EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);

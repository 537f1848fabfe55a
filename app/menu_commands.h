// The soft-key menus of the main window: their commands and item states.
#pragma once

#include "platform/phone.h"

LRESULT on_command(WORD command, WORD code, HWND source);
// The sleep and countdown commands; false for any other command.
bool on_mode_command(WORD command);
void on_init_menu_popup(HMENU menu);

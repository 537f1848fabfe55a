#include "app/menu_commands.h"

// Item states come with the commands they guard.
void on_init_menu_popup(HMENU) {}

#include "app/program.h"
#include "resources/clock_bitmaps.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "resources/ringing_resources.h"

void register_app_resources(void) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    register_clock_bitmaps();
    register_main_strings();
    register_main_menu();
    register_ringing_resources();
    register_dialog_resources();
}

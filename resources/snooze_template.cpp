// Set Snooze: the time spinner alone.
#include "resources/time_spinner_items.h"

namespace {

const DialogItemResource SNOOZE_ITEMS[] = {
    TIME_SPINNER_ITEMS(20, 8),
};

const DialogResource SNOOZE[] = {
    {IDD_SET_SNOOZE, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Set Snooze", MENU_ITEMS(SNOOZE_ITEMS)},
};

}  // namespace

void add_snooze_template(void) { resources_add_dialogs(SNOOZE, 1); }

#include "platform/phone.h"
#include "resources/main_resources.h"

namespace {

const MenuItemResource SLEEP_ITEMS[] = {
    {MF_STRING, IDM_START_SLEEP, L"Start Sleep", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_SLEEP_PREV, L"Prev", nullptr, 0},
    {MF_STRING, IDM_SLEEP_STOP, L"Stop", nullptr, 0},
    {MF_STRING, IDM_SLEEP_PAUSE, L"Pause", nullptr, 0},
    {MF_STRING, IDM_SLEEP_NEXT, L"Next", nullptr, 0},
};

const MenuItemResource COUNTDOWN_ITEMS[] = {
    {MF_STRING, IDM_START_COUNTDOWN, L"Start Countdown", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_CANCEL_COUNTDOWN, L"Cancel Countdown", nullptr, 0},
};

const MenuItemResource OPEN_ITEMS[] = {
    {MF_POPUP, 0, L"Sleep", MENU_ITEMS(SLEEP_ITEMS)},
    {MF_POPUP, 0, L"Countdown", MENU_ITEMS(COUNTDOWN_ITEMS)},
    {MF_STRING, IDM_CHIME, L"Chime", nullptr, 0},
};

const MenuItemResource TOOLS_ITEMS[] = {
    {MF_STRING, IDM_CANCEL_SNOOZE, L"Cancel Snooze", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_SILENCE_ALL, L"Silence all alarms", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_SET_ALARMS, L"Set Alarms", nullptr, 0},
    {MF_STRING, IDM_SET_SNOOZE, L"Set Snooze", nullptr, 0},
    {MF_STRING, IDM_GENERAL_SETTINGS, L"General Settings", nullptr, 0},
    {MF_STRING, IDM_REBUILD_ALARMS, L"Rebuild Alarms", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_ABOUT, L"About", nullptr, 0},
    {MF_STRING, IDM_EXIT, L"Exit", nullptr, 0},
};

// Each soft key opens its popup; its id is its text's string number.
const MenuBarResource MAIN_MENU[] = {
    {IDM_MAIN_MENU, {{IDS_OPEN, nullptr, IDS_OPEN, MENU_ITEMS(OPEN_ITEMS)}, {IDS_TOOLS, nullptr, IDS_TOOLS, MENU_ITEMS(TOOLS_ITEMS)}}},
};

}  // namespace

void register_main_menu(void) { resources_add_menubars(MAIN_MENU, 1); }

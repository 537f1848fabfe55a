// Sleep: when the music stops, then what plays: the kind of source, its
// name, and the drop-down and button that choose another.
#include "resources/time_spinner_items.h"

namespace {

constexpr DWORD TAB = WS_TABSTOP;

// The first choice wraps onto a second line on the narrowest screen.
const DialogItemResource SLEEP_ITEMS[] = {
    {L"BUTTON", L"Stop when sounds finish", IDC_SLEEP_UNTIL_END, BS_AUTORADIOBUTTON | BS_MULTILINE | WS_GROUP | TAB, 0,
     4, 2, 128, 16},
    {L"BUTTON", L"Or after time:", IDC_SLEEP_TIMED, BS_AUTORADIOBUTTON | TAB, 0, 4, 20, 128, 12},
    TIME_SPINNER_ITEMS(20, 35),
    {L"STATIC", L"Folder:", IDC_SLEEP_KIND, SS_LEFT | WS_GROUP, 0, 4, 76, 128, 10},
    {L"STATIC", L"", IDC_SLEEP_NAME, SS_LEFTNOWORDWRAP, 0, 4, 87, 128, 10},
    {L"COMBOBOX", nullptr, IDC_SLEEP_SOURCE, CBS_DROPDOWNLIST | WS_VSCROLL | TAB, 0, 4, 100, 60, 60},
    {L"BUTTON", L"Select", IDC_SLEEP_SELECT, BS_PUSHBUTTON | TAB, 0, 68, 100, 44, 14},
};

const DialogResource SLEEP[] = {
    {IDD_SLEEP, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Sleep", MENU_ITEMS(SLEEP_ITEMS)},
};

}  // namespace

void add_sleep_template(void) { resources_add_dialogs(SLEEP, 1); }

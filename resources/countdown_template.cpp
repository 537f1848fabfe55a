// Countdown: its length on the time spinner, the sound that rings at its
// end, and whether the device stays awake meanwhile.
#include "resources/time_spinner_items.h"

namespace {

constexpr DWORD TAB = WS_TABSTOP;

const DialogItemResource COUNTDOWN_ITEMS[] = {
    TIME_SPINNER_ITEMS(20, 8),
    {L"STATIC", L"", IDC_COUNTDOWN_SOUND, SS_LEFTNOWORDWRAP, 0, 4, 50, 128, 10},
    {L"BUTTON", L"Browse", IDC_BROWSE, BS_PUSHBUTTON | TAB, 0, 4, 62, 44, 14},
    {L"BUTTON", L"Test", IDC_TEST, BS_PUSHBUTTON | TAB, 0, 52, 62, 44, 14},
    {L"BUTTON", L"Keep awake during countdown", IDC_KEEP_AWAKE, BS_AUTOCHECKBOX | BS_MULTILINE | TAB, 0, 4, 80, 128,
     22},
};

const DialogResource COUNTDOWN[] = {
    {IDD_COUNTDOWN, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Countdown", MENU_ITEMS(COUNTDOWN_ITEMS)},
};

}  // namespace

void add_countdown_template(void) { resources_add_dialogs(COUNTDOWN, 1); }

// Hourly Chime: on or off, its sound, and a word about the battery.
#include "resources/dialog_templates.h"

namespace {

constexpr DWORD TAB = WS_TABSTOP;

const DialogItemResource CHIME_ITEMS[] = {
    {L"BUTTON", L"Enable hourly chime", IDC_CHIME_ON, BS_AUTOCHECKBOX | TAB, 0, 4, 4, 128, 12},
    {L"STATIC", L"", IDC_CHIME_SOUND, SS_LEFTNOWORDWRAP, 0, 4, 21, 128, 10},
    {L"BUTTON", L"Browse", IDC_BROWSE, BS_PUSHBUTTON | TAB, 0, 4, 33, 44, 14},
    {L"BUTTON", L"Test", IDC_TEST, BS_PUSHBUTTON | TAB, 0, 52, 33, 44, 14},
    {L"STATIC",
     L"Hourly chime will wake up your Smartphone every hour, which may have a negative effect on battery life.",
     IDC_CHIME_NOTE, SS_LEFT, 0, 4, 54, 128, 64},
};

const DialogResource CHIME[] = {
    {IDD_HOURLY_CHIME, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Hourly Chime", MENU_ITEMS(CHIME_ITEMS)},
};

}  // namespace

void add_chime_template(void) { resources_add_dialogs(CHIME, 1); }

// Settings, its Choose Color with the sixteen swatches, and About.
#include "resources/dialog_templates.h"

namespace {

constexpr DWORD TAB = WS_TABSTOP;
constexpr DWORD CHECK = BS_AUTOCHECKBOX | TAB;

const DialogItemResource SETTINGS_ITEMS[] = {
    {L"BUTTON", L"Use 24 hour time", IDC_24_HOUR, CHECK, 0, 4, 4, 128, 12},
    {L"BUTTON", L"Show Internet Time", IDC_SHOW_ITIME, CHECK, 0, 4, 19, 128, 12},
    {L"STATIC", L"Sound alarm for no more", IDC_STATIC, SS_LEFT, 0, 4, 36, 128, 10},
    {L"STATIC", L"than:", IDC_STATIC, SS_LEFT, 0, 4, 49, 20, 10},
    {L"COMBOBOX", nullptr, IDC_MAX_TIME, CBS_DROPDOWNLIST | WS_VSCROLL | TAB, 0, 26, 47, 34, 80},
    {L"STATIC", L"Minutes", IDC_STATIC, SS_LEFT, 0, 63, 49, 32, 10},
    {L"BUTTON", L"Choose Color", IDC_CHOOSE_COLOR, BS_PUSHBUTTON | TAB, 0, 4, 66, 70, 14},
};

// Four rows of four, in the colour table's order; four fit across the
// narrowest screen.
#define SWATCH(n)                                                                                \
    {                                                                                            \
        L"BUTTON", L"", IDC_FIRST_SWATCH + (n), BS_PUSHBUTTON | TAB, 0, short(2 + (n) % 4 * 23), \
            short(4 + (n) / 4 * 18), 22, 14                                                      \
    }

const DialogItemResource COLOR_ITEMS[] = {
    SWATCH(0), SWATCH(1), SWATCH(2),  SWATCH(3),  SWATCH(4),  SWATCH(5),  SWATCH(6),  SWATCH(7),
    SWATCH(8), SWATCH(9), SWATCH(10), SWATCH(11), SWATCH(12), SWATCH(13), SWATCH(14), SWATCH(15),
};

#undef SWATCH

const DialogItemResource ABOUT_ITEMS[] = {
    {L"STATIC", L"Velmora Version 2.7.3", IDC_STATIC, SS_LEFT, 0, 4, 6, 128, 10},
    {L"STATIC", L"Made by Tamsett Software", IDC_STATIC, SS_LEFT, 0, 4, 22, 128, 10},
    {L"STATIC", L"for travellers who want", IDC_STATIC, SS_LEFT, 0, 4, 34, 128, 10},
    {L"STATIC", L"to wake up on time.", IDC_STATIC, SS_LEFT, 0, 4, 46, 128, 10},
};

const DialogResource SETTINGS[] = {
    {IDD_SETTINGS, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Settings", MENU_ITEMS(SETTINGS_ITEMS)},
    {IDD_CHOOSE_COLOR, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Choose Color", MENU_ITEMS(COLOR_ITEMS)},
    {IDD_ABOUT, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"About", MENU_ITEMS(ABOUT_ITEMS)},
};

}  // namespace

void add_settings_templates(void) { resources_add_dialogs(SETTINGS, 3); }

// Set Alarm: one alarm at a time, chosen with the spin box at the top.
#include "resources/dialog_templates.h"

namespace {

constexpr DWORD TAB = WS_TABSTOP;
// The days turn without wrapping round; the action key opens all seven.
constexpr DWORD DAYS_SPIN = UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_EXPANDABLE;

const DialogItemResource SET_ALARM_ITEMS[] = {
    {L"STATIC", L"Alarm:", IDC_ALARM_CAPTION, SS_LEFT, 0, 4, 2, 128, 10},
    {L"LISTBOX", nullptr, IDC_ALARM_LIST, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | TAB, 0, 4, 12, 128, 14},
    {UPDOWN_CLASS, nullptr, IDC_ALARM_SPIN, SPIN_BOX, 0, 0, 0, 0, 0},
    {L"BUTTON", L"Alarm ON", IDC_ALARM_ON, BS_AUTOCHECKBOX | TAB, 0, 4, 29, 128, 12},
    {L"STATIC", L"Alarm name:", IDC_NAME_CAPTION, SS_LEFT, 0, 4, 44, 128, 10},
    {L"EDIT", L"", IDC_ALARM_NAME, ES_AUTOHSCROLL | TAB, 0, 4, 54, 128, 13},
    {L"STATIC", L"Alarm time:", IDC_TIME_CAPTION, SS_LEFT, 0, 4, 70, 128, 10},
    {DATETIMEPICK_CLASS, nullptr, IDC_ALARM_TIME, DTS_TIMEFORMAT | TAB, 0, 4, 80, 70, 14},
    {L"STATIC", L"Days:", IDC_DAYS_CAPTION, SS_LEFT, 0, 4, 97, 128, 10},
    {L"LISTBOX", nullptr, IDC_DAYS_LIST, LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | TAB, 0, 4, 107, 128, 14},
    {UPDOWN_CLASS, nullptr, IDC_DAYS_SPIN, DAYS_SPIN, 0, 0, 0, 0, 0},
    {L"STATIC", L"Sound:", IDC_SOUND_CAPTION, SS_LEFT, 0, 4, 124, 128, 10},
    {L"STATIC", L"", IDC_SOUND_NAME, SS_LEFTNOWORDWRAP, 0, 4, 134, 128, 10},
    {L"BUTTON", L"Browse", IDC_BROWSE, BS_PUSHBUTTON | TAB, 0, 4, 146, 44, 14},
    {L"BUTTON", L"Test", IDC_TEST, BS_PUSHBUTTON | TAB, 0, 52, 146, 44, 14},
    {L"BUTTON", L"Use System Volume", IDC_USE_SYSTEM_VOLUME, BS_AUTOCHECKBOX | TAB, 0, 4, 163, 128, 12},
    {L"STATIC", L"Alarm Volume:", IDC_VOLUME_CAPTION, SS_LEFT, 0, 4, 178, 128, 10},
    {L"LISTBOX", nullptr, IDC_VOLUME_LIST, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | TAB, 0, 4, 188, 128, 14},
    {UPDOWN_CLASS, nullptr, IDC_VOLUME_SPIN, SPIN_BOX, 0, 0, 0, 0, 0},
};

const DialogResource SET_ALARM[] = {
    {IDD_SET_ALARM, FULL_SCREEN_DIALOG, 0, 0, 0, 137, 150, L"Set Alarm", MENU_ITEMS(SET_ALARM_ITEMS)},
};

}  // namespace

void add_set_alarm_template(void) { resources_add_dialogs(SET_ALARM, 1); }

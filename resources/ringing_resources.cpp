#include "resources/ringing_resources.h"

#include "platform/phone.h"

namespace {

// Every template is sized to the screen when it opens; the numbers here are
// what the picture is placed by.
constexpr DWORD RINGING_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFOREGROUND;
constexpr short TEMPLATE_CX = 140;
constexpr short TEMPLATE_CY = 150;

constexpr DialogItemResource SMALL_PICTURE[] = {
    {L"STATIC", L"#324", IDC_STATIC, SS_BITMAP, 0, 15, 10, 80, 83},
};
constexpr DialogItemResource LARGE_PICTURE[] = {
    {L"STATIC", L"#325", IDC_STATIC, SS_BITMAP, 0, 15, 10, 100, 100},
};

// Each has the one picture of its layout.
constexpr DialogResource picture_template(int id, const DialogItemResource *picture) {
    return {id, RINGING_STYLE, WS_EX_TOPMOST, 0, 0, TEMPLATE_CX, TEMPLATE_CY, L"Alarm", picture, 1};
}

constexpr DialogResource RINGING_DIALOGS[] = {
    picture_template(IDD_ALARM_RINGING_LARGE, LARGE_PICTURE),
    picture_template(IDD_ALARM_RINGING_SMALL, SMALL_PICTURE),
    picture_template(IDD_ALARM_RINGING_LANDSCAPE, SMALL_PICTURE),
    picture_template(IDD_COUNTDOWN_RINGING_LARGE, LARGE_PICTURE),
    picture_template(IDD_COUNTDOWN_RINGING_SMALL, SMALL_PICTURE),
    picture_template(IDD_COUNTDOWN_RINGING_LANDSCAPE, SMALL_PICTURE),
};

const MenuBarResource RINGING_BARS[] = {
    {IDM_ALARM_RINGING,
     {{IDS_SNOOZE, nullptr, IDC_RING_SNOOZE, nullptr, 0}, {IDS_STOP, nullptr, IDC_RING_STOP, nullptr, 0}}},
    {IDM_COUNTDOWN_RINGING, {{IDS_STOP, nullptr, IDC_RING_STOP, nullptr, 0}, {0, nullptr, 0, nullptr, 0}}},
};

const StringResource RINGING_STRINGS[] = {
    {IDS_SNOOZE, L"Snooze"},
    {IDS_STOP, L"Stop"},
};

}  // namespace

void register_ringing_resources(void) {
    resources_add_dialogs(MENU_ITEMS(RINGING_DIALOGS));
    resources_add_menubars(MENU_ITEMS(RINGING_BARS));
    resources_add_strings(MENU_ITEMS(RINGING_STRINGS));
}

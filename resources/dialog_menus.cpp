// The settings dialogs' soft-key bars, and the one call that registers every
// table of the dialogs.
#include "resources/dialog_templates.h"

namespace {

const MenuBarResource DIALOG_BARS[] = {
    {IDB_OK_CANCEL, {{0, L"OK", IDOK, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}},
    {IDB_OK_ONLY, {{0, L"OK", IDOK, nullptr, 0}, {0, nullptr, 0, nullptr, 0}}},
    {IDB_SLEEP_CANCEL, {{0, L"Sleep", IDC_SLEEP, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}},
    {IDB_START_CANCEL, {{0, L"Start", IDC_START, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}},
    {IDB_SELECT_CANCEL, {{0, L"Select", IDC_SELECT, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}},
    {IDB_CANCEL_ONLY, {{0, nullptr, 0, nullptr, 0}, {0, L"Cancel", IDCANCEL, nullptr, 0}}},
};

}  // namespace

void register_dialog_resources(void) {
    resources_add_menubars(DIALOG_BARS, int(sizeof DIALOG_BARS / sizeof DIALOG_BARS[0]));
    add_set_alarm_template();
    add_snooze_template();
    add_settings_templates();
    add_chime_template();
    add_sleep_template();
    add_countdown_template();
    add_browser_templates();
}

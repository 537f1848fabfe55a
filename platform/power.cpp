#include "platform/power.h"

#include "platform/journal.h"
#include "platform/text.h"

DWORD SetSystemPowerState(LPCWSTR state_name, DWORD state_flags, DWORD options) {
    bool on = state_name ? plat::fold_case(state_name) == L"on" : (state_flags & POWER_STATE_ON) != 0;
    if (!on) return ERROR_NOT_SUPPORTED;
    journal_write("power", (options & POWER_FORCE) ? L"switched on (forced)" : L"switched on");
    return ERROR_SUCCESS;
}

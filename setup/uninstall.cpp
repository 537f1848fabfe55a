// The installer's two calls around removing the package: before, the running
// programs are closed; after, every request the system registered is cleared,
// so that no alarm fires for a program that is gone.
#include "setup/setup.h"
#include "store/alarms.h"
#include "store/rebuild.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

void clear_request(DWORD *handle) {
    if (*handle == 0) return;
    CeClearUserNotification(notify_handle_of(*handle));
    *handle = 0;
}

}  // namespace

SETUP_EXPORT codeUNINSTALL_INIT Uninstall_Init(HWND, LPCWSTR) {
    close_system_programs();
    return codeUNINSTALL_INIT_CONTINUE;
}

// The handles are cleared in memory only: the user's settings and alarms stay
// as they were, for a later install to find.
SETUP_EXPORT codeUNINSTALL_EXIT Uninstall_Exit(HWND) {
    load_store();
    for (int i = 0; i < ALARM_COUNT; i++) clear_request(&alarm_record(i)->AlarmHandle);
    clear_request(&Settings.ChimeHandle);
    clear_request(&Settings.CountdownHandle);
    free_alarm_table();
    // A request whose handle no program kept (one program's save over
    // another's) would still start the manager that is gone.
    remove_owned_notifications();
    unregister_manager_events();
    return codeUNINSTALL_EXIT_DONE;
}

// The installer's two calls around copying the package: before, the running
// programs are closed; after, the alarm manager runs and is registered for
// clock and time-zone changes.
#include "setup/setup.h"
#include "store/reg_values.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

// An older version kept one alarm's request in the settings key.
void clear_old_alarm_request(void) {
    HKEY key = open_existing_key(SETTINGS_KEY);
    if (!key) return;
    DWORD handle = 0;
    bool read = read_dword(key, L"AlarmHandle", &handle);
    RegCloseKey(key);
    if (read && handle != 0) CeClearUserNotification(notify_handle_of(handle));
}

// Started with no command line, the manager stays resident and arms every alarm.
void start_manager(void) {
    WCHAR path[MAX_PATH];
    manager_path(path, MAX_PATH);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &process)) return;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace

SETUP_EXPORT codeINSTALL_INIT Install_Init(HWND, BOOL, BOOL, LPCWSTR) {
    clear_old_alarm_request();
    close_system_programs();
    return codeINSTALL_INIT_CONTINUE;
}

SETUP_EXPORT codeINSTALL_EXIT Install_Exit(HWND parent, LPCWSTR, WORD, WORD, WORD, WORD, WORD) {
    bool manager_runs = FindWindowW(SETUP_MANAGER_WINDOW, SETUP_MANAGER_WINDOW) != nullptr;
    find_app_data_folder();
    if (!manager_runs) start_manager();
    register_manager_events();
    MessageBoxW(parent, L"Please note that your Smartphone must be switched on in order to receive alarms.",
                L"Installation Complete", MB_OK | MB_ICONINFORMATION);
    return codeINSTALL_EXIT_DONE;
}

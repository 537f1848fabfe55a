// Velmgr's start-up: what a copy does with its command line.
#include <cwchar>

#include "manager/manager.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

ManagerState Manager;

// A later copy waits this long after handing its event over, in ms.
constexpr int HANDED_COUNTDOWN_MS = 1000;
constexpr int HANDED_ALARM_MS = 2000;

namespace {

void switch_device_on(void) { SetSystemPowerState(nullptr, POWER_STATE_ON, POWER_FORCE); }

bool is_clock_change(LPCWSTR command_line) {
    return command_line &&
           (wcscmp(command_line, APP_RUN_AFTER_TZ_CHANGE) == 0 || wcscmp(command_line, APP_RUN_AFTER_TIME_CHANGE) == 0);
}

// After a clock or zone change every alarm is due at another instant; the
// countdown, a pending snooze, a pending chime and the event registrations
// stay as they are.
void rearm_alarms(void) {
    load_store();
    rearm_after_clock_change();
    // The clock saves its copy of the chime's handle when it ends.
    if (revive_chime())
        if (HWND main = FindWindowW(MAIN_WINDOW, MAIN_WINDOW)) PostMessageW(main, MSG_RELOAD_CHIME, 0, 0);
    free_alarm_table();
}

// A resident copy runs: it relays the event, and this copy waits until the
// receiver has had time to come up. False when the resident did not take the
// event within the send's bound (it is stopped or stuck).
bool hand_to_resident(HWND resident, int id) {
    SetForegroundWindow(resident);
    if (id < 0) return true;
    SetLastError(ERROR_SUCCESS);
    SendMessageW(resident, MSG_EVENT, WPARAM(id), 0);
    if (GetLastError() != ERROR_SUCCESS) return false;
    Sleep(id == EVENT_ID_COUNTDOWN ? HANDED_COUNTDOWN_MS : HANDED_ALARM_MS);
    return true;
}

// The event goes to the main program; without one, and with no main program
// to do it, every alarm and the chime are registered.
void hand_over_or_arm(int id) {
    if (id >= 0) {
        deliver_event(id);
    } else if (!FindWindowW(MAIN_WINDOW, MAIN_WINDOW)) {
        schedule_all(Manager.Window);
        if (Settings.Chime)
            schedule_chime(nullptr);
        else
            clear_chime();
        // The handle is the only way to the chime's request; unsaved, a chime
        // switched off later could not be cleared.
        save_chime_settings();
    }
}

}  // namespace

int manager_main(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int) {
    int id = parse_event_id(command_line);
    if (id == EVENT_ID_CHIME) {
        switch_device_on();
        set_default_settings();
        start_chime();
        return 0;
    }
    if (id >= 0) {
        switch_device_on();
    } else if (is_clock_change(command_line)) {
        rearm_alarms();
        return 0;
    }
    if (HWND resident = FindWindowW(MANAGER_WINDOW, MANAGER_WINDOW)) {
        // A resident that does not answer leaves the event to this copy.
        if (!hand_to_resident(resident, id)) deliver_event(id);
        return 0;
    }
    if (!create_manager_window(instance, previous)) return 0;
    load_store();
    hand_over_or_arm(id);
    register_manager_events();
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) == 1) DispatchMessageW(&msg);
    free_alarm_table();
    return int(msg.wParam);
}

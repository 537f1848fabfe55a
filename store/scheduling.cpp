#include "store/scheduling.h"

#include <cstring>
#include <cwchar>

#include "store/alarms.h"
#include "store/pending_request.h"
#include "store/rebuild.h"
#include "store/settings.h"

constexpr wchar_t EVENT_ID_PREFIX[] = L"/ID:";
constexpr wchar_t ALARM_FAILED_TEXT[] = L"Failed to set alarm!";

// The request being built, with the texts its trigger points at.
struct EventRequest {
    CE_NOTIFICATION_TRIGGER Trigger;
    CE_USER_NOTIFICATION User;
    WCHAR Application[MAX_PATH];
    WCHAR Arguments[16];
};

namespace {

ULONGLONG file_time_of(const SYSTEMTIME *time) {
    FILETIME ft;
    if (!SystemTimeToFileTime(time, &ft)) return 0;
    return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

void system_time_of(ULONGLONG units, SYSTEMTIME *time) {
    FILETIME ft;
    ft.dwLowDateTime = (DWORD)(units & 0xFFFFFFFFu);
    ft.dwHighDateTime = (DWORD)(units >> 32);
    FileTimeToSystemTime(&ft, time);
}

// Adds file-time units; date and weekday are recomputed. A time that is not
// a valid date stays as it is.
void add_file_time(SYSTEMTIME *time, ULONGLONG units) {
    ULONGLONG base = file_time_of(time);
    if (base != 0) system_time_of(base + units, time);
}

// The box shows over its owner, so the owner comes to the front first.
void report_failure(HWND owner) {
    if (owner) SetForegroundWindow(owner);
    MessageBoxW(owner, ALARM_FAILED_TEXT, L"Velmora", MB_OK | MB_ICONERROR);
}

}  // namespace

void manager_path(WCHAR *out, size_t cap) {
    if (Folders.AppDataFolder[0] == L'\0') find_app_data_folder();
    swprintf(out, cap, L"%ls\\Velmora\\%ls", Folders.AppDataFolder, MANAGER_PROGRAM);
}

void event_arguments(int id, WCHAR *out, size_t cap) { swprintf(out, cap, L"%ls%d", EVENT_ID_PREFIX, id); }

void unregister_manager_events(void) {
    WCHAR path[MAX_PATH];
    manager_path(path, MAX_PATH);
    CeRunAppAtEvent(path, NOTIFICATION_EVENT_NONE);
}

void register_manager_events(void) {
    WCHAR path[MAX_PATH];
    manager_path(path, MAX_PATH);
    CeRunAppAtEvent(path, NOTIFICATION_EVENT_NONE);
    CeRunAppAtEvent(path, NOTIFICATION_EVENT_TIME_CHANGE);
    CeRunAppAtEvent(path, NOTIFICATION_EVENT_TZ_CHANGE);
}

bool event_id_valid(ULONGLONG id) { return id < ALARM_COUNT || id == EVENT_ID_COUNTDOWN || id == EVENT_ID_CHIME; }

int parse_event_id(LPCWSTR command_line) {
    if (!command_line || wcsncmp(command_line, EVENT_ID_PREFIX, 4) != 0) return -1;
    ULONGLONG id = 0;
    for (LPCWSTR p = command_line + 4; *p >= L'0' && *p <= L'9'; p++) {
        id = id * 10 + (ULONGLONG)(*p - L'0');
        if (id > 0xFFFFFFFFull) return -1;
    }
    return event_id_valid(id) ? (int)id : -1;
}

namespace {

// The next occurrence of the alarm's hour and minute after now; the current
// minute counts as passed.
void alarm_candidate(const AlarmRecord *a, SYSTEMTIME *time) {
    GetLocalTime(time);
    if (time->wHour > a->AThour || (time->wHour == a->AThour && time->wMinute >= a->ATmin))
        add_file_time(time, FT_DAY);
    time->wHour = (WORD)a->AThour;
    time->wMinute = (WORD)a->ATmin;
    time->wSecond = 0;
    time->wMilliseconds = 0;
}

}  // namespace

void next_enabled_day(int index, SYSTEMTIME *time) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
    int weekday = time->wDayOfWeek % 7;
    if (a->Days & (1u << weekday)) return;
    for (int ahead = 1; ahead <= 6; ahead++) {
        if (a->Days & (1u << ((weekday + ahead) % 7))) {
            add_file_time(time, FT_DAY * (ULONGLONG)ahead);
            return;
        }
    }
}

namespace {

void build_request(int id, const SYSTEMTIME *time, EventRequest *r) {
    memset(r, 0, sizeof *r);
    manager_path(r->Application, MAX_PATH);
    event_arguments(id, r->Arguments, 16);
    r->Trigger.dwSize = sizeof(CE_NOTIFICATION_TRIGGER);
    r->Trigger.dwType = CNT_TIME;
    r->Trigger.dwEvent = NOTIFICATION_EVENT_NONE;
    r->Trigger.lpszApplication = r->Application;
    r->Trigger.lpszArguments = r->Arguments;
    r->Trigger.stStartTime = *time;
    r->Trigger.stEndTime = *time;
    add_file_time(&r->Trigger.stEndTime, FT_MINUTE * Settings.MaxTime);
}

}  // namespace

DWORD register_event(int id, const SYSTEMTIME *time) {
    EventRequest r;
    build_request(id, time, &r);
    return notify_handle_number(CeSetUserNotificationEx(nullptr, &r.Trigger, &r.User));
}

bool arm_alarm(int index, SYSTEMTIME *time, bool exact) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return false;
    if (!exact) {
        if (a->Days == 0) return false;
        next_enabled_day(index, time);
    }
    EventRequest r;
    build_request(index, time, &r);
    // Another program may have registered this alarm meanwhile.
    reload_alarm_handle(index);
    HANDLE h = CeSetUserNotificationEx(notify_handle_of(a->AlarmHandle), &r.Trigger, &r.User);
    if (!h) h = CeSetUserNotificationEx(nullptr, &r.Trigger, &r.User);
    a->AlarmHandle = notify_handle_number(h);
    save_alarm(index);
    return a->AlarmHandle != 0;
}

void schedule_alarm(int index, HWND owner) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
    SYSTEMTIME time;
    alarm_candidate(a, &time);
    if (!arm_alarm(index, &time, false)) report_failure(owner);
}

void clear_alarm(int index) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
    // The handle may be stale, and another program may have registered the
    // alarm meanwhile: every request of the alarm goes.
    clear_event_requests(index);
    if (a->AlarmHandle == 0) return;
    a->AlarmHandle = 0;
    save_alarm(index);
}

namespace {

// The stored handle names a pending request of the event; `r` receives it.
// One read of the request.
bool pending_request_of(int id, DWORD handle, PendingRequest *r) {
    if (handle == 0 || !read_pending_request(notify_handle_of(handle), r)) return false;
    WCHAR own[16];
    event_arguments(id, own, 16);
    return wcscmp(r->Arguments, own) == 0;
}

// The alarm's stored request is pending and is a snooze: a regular
// occurrence is always due on the alarm's own full minute, a snooze at the
// moment Snooze was pressed plus the snooze time.
bool snooze_pending(int index, const AlarmRecord *a) {
    PendingRequest r;
    reload_alarm_handle(index);
    if (!pending_request_of(index, a->AlarmHandle, &r)) return false;
    return r.Start.wHour != a->AThour || r.Start.wMinute != a->ATmin || r.Start.wSecond != 0 ||
           r.Start.wMilliseconds != 0;
}

void schedule_each(HWND owner, bool keep_snoozes) {
    // Defaults of a table that could not be read would clear the user's alarms.
    if (Alarms.LoadFailed) return;
    for (int i = 0; i < ALARM_COUNT; i++) {
        AlarmRecord *a = alarm_record(i);
        if (!a) return;
        if (!a->AlarmOn)
            clear_alarm(i);
        else if (!keep_snoozes || !snooze_pending(i, a))
            schedule_alarm(i, owner);
    }
}

}  // namespace

void schedule_all(HWND owner) { schedule_each(owner, false); }

void rearm_after_clock_change(void) { schedule_each(nullptr, true); }

bool revive_chime(void) {
    if (!Settings.Chime || Settings.LoadFailed) return false;
    reload_chime_handle();
    PendingRequest r;
    if (pending_request_of(EVENT_ID_CHIME, Settings.ChimeHandle, &r)) return false;
    if (!schedule_chime(nullptr)) return false;
    save_chime_settings();
    return true;
}

void snooze_alarm(int index) {
    AlarmRecord *a = alarm_record(index);
    if (!a) return;
    SYSTEMTIME time;
    GetLocalTime(&time);
    add_file_time(&time, FT_MINUTE * Settings.SnoozeTime);
    a->AlarmHandle = 0;
    arm_alarm(index, &time, true);
}

namespace {

void clear_handle(DWORD *handle) {
    if (*handle == 0) return;
    CeClearUserNotification(notify_handle_of(*handle));
    *handle = 0;
}

// Registers the event and keeps its handle, or reports the failure.
int register_kept(int id, const SYSTEMTIME *due, DWORD *handle, HWND owner) {
    clear_handle(handle);
    DWORD registered = register_event(id, due);
    if (registered == 0) {
        report_failure(owner);
        return 0;
    }
    *handle = registered;
    return 1;
}

}  // namespace

int start_countdown(HWND owner) {
    SYSTEMTIME now, due;
    GetLocalTime(&now);
    ULONGLONG end = file_time_of(&now) + FT_MINUTE * Settings.CountdownTime;
    system_time_of(end, &due);
    // The displays divide the rest into whole minutes, so zero shows for the
    // last minute before the end rather than after it.
    end += FT_59_SECONDS;
    Settings.CDFTLow = (DWORD)(end & 0xFFFFFFFFu);
    Settings.CDFTHigh = (DWORD)(end >> 32);
    return register_kept(EVENT_ID_COUNTDOWN, &due, &Settings.CountdownHandle, owner);
}

void clear_countdown(void) { clear_handle(&Settings.CountdownHandle); }

int schedule_chime(HWND owner) {
    SYSTEMTIME due;
    GetLocalTime(&due);
    due.wMinute = 0;
    due.wSecond = 0;
    due.wMilliseconds = 0;
    add_file_time(&due, FT_3601_SECONDS);
    return register_kept(EVENT_ID_CHIME, &due, &Settings.ChimeHandle, owner);
}

void clear_chime(void) { clear_handle(&Settings.ChimeHandle); }

int next_pending_alarm(SYSTEMTIME *time) {
    int best = -1;
    ULONGLONG best_at = 0;
    for (int i = 0; i < ALARM_COUNT; i++) {
        AlarmRecord *a = alarm_record(i);
        if (!a || !a->AlarmOn) continue;
        SYSTEMTIME candidate;
        alarm_candidate(a, &candidate);
        next_enabled_day(i, &candidate);
        ULONGLONG at = file_time_of(&candidate);
        if (at == 0) continue;  // an hour or minute no clock shows
        if (best < 0 || at < best_at) {
            best = i;
            best_at = at;
            *time = candidate;
        }
    }
    return best;
}

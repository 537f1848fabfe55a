// Alarm scheduling: every pending alarm, snooze, countdown and chime is a
// notification request that starts Velmgr with "/ID:<identifier>" at its
// due time, so that it rings with no program of the system running.
#pragma once

#include "platform/phone.h"
#include "store/messages.h"

// Event identifiers besides the alarm indexes 0 ... 9.
#define EVENT_ID_COUNTDOWN 254
#define EVENT_ID_CHIME 255

// File-time arithmetic, in 100 ns units.
#define FT_MINUTE 600000000ULL
#define FT_DAY 864000000000ULL
#define FT_59_SECONDS 590000000ULL
#define FT_3601_SECONDS 36010000000ULL

#define MANAGER_PROGRAM L"Velmgr.exe"

// "\<application data>\Velmora\Velmgr.exe", the program every request starts.
void manager_path(WCHAR *out, size_t cap);

// "/ID:<id>", the command line of the event's requests.
void event_arguments(int id, WCHAR *out, size_t cap);
// Registers Velmgr for clock (1) and time-zone (12) changes, first dropping
// every earlier registration of it, so that it is registered once.
void register_manager_events(void);
// Drops every registration of Velmgr for system events.
void unregister_manager_events(void);

// True for 0 ... 9, 254 and 255.
bool event_id_valid(ULONGLONG id);

// The identifier that "/ID:<n>" names: 0 ... 9, 254 or 255; -1 for anything
// else, so that no caller indexes the alarm table with it.
int parse_event_id(LPCWSTR command_line);

void next_enabled_day(int index, SYSTEMTIME *time);
DWORD register_event(int id, const SYSTEMTIME *time);
bool arm_alarm(int index, SYSTEMTIME *time, bool exact);
void schedule_alarm(int index, HWND owner);
void clear_alarm(int index);
void schedule_all(HWND owner);
// schedule_all after the device clock or zone changed, except that a pending
// snooze stays: it is due at its local time as it was, and replacing it with
// the next regular occurrence would lose the snoozed ringing.
void rearm_after_clock_change(void);
// With the chime on and its request gone (a clock that jumped past its end
// drops it, and only a chime that sounds registers the next), registers the
// next chime: otherwise the chime would never sound again. True when it did;
// a running clock must then re-read the chime's handle.
bool revive_chime(void);
void snooze_alarm(int index);
int start_countdown(HWND owner);
void clear_countdown(void);
int schedule_chime(HWND owner);
void clear_chime(void);
int next_pending_alarm(SYSTEMTIME *time);

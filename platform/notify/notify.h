// The phone's notification database, "notify.db" in the device root: timed
// requests that start a program with its arguments, and programs registered
// for system events. The notification service (notifyd) carries them out;
// every call that registers something makes sure it runs.
#pragma once

#include "platform/core/types.h"

// Trigger types.
#define CNT_EVENT 1
#define CNT_TIME 2
#define CNT_PERIOD 3
#define CNT_CLASSICTIME 4

// System events for CeRunAppAtEvent.
#define NOTIFICATION_EVENT_NONE 0
#define NOTIFICATION_EVENT_TIME_CHANGE 1
#define NOTIFICATION_EVENT_TZ_CHANGE 12

// The command lines the service gives programs registered for the events.
#define APP_RUN_AFTER_TIME_CHANGE L"AppRunAfterTimeChange"
#define APP_RUN_AFTER_TZ_CHANGE L"AppRunAfterTzChange"

// dwStatus of an information record.
#define CNS_SIGNALLED 0x00000001

typedef struct UserNotificationTrigger {
    DWORD dwSize;  // sizeof(CE_NOTIFICATION_TRIGGER)
    DWORD dwType;
    DWORD dwEvent;
    WCHAR *lpszApplication;
    WCHAR *lpszArguments;
    SYSTEMTIME stStartTime;  // local device time
    SYSTEMTIME stEndTime;
} CE_NOTIFICATION_TRIGGER, *PCE_NOTIFICATION_TRIGGER;

// What the phone would show or play. This service only starts programs, so
// a request must leave every action off.
typedef struct UserNotificationType {
    DWORD ActionFlags;
    WCHAR *pwszDialogTitle;
    WCHAR *pwszDialogText;
    WCHAR *pwszSound;
    DWORD nMaxSound;
    DWORD dwReserved;
} CE_USER_NOTIFICATION, *PCE_USER_NOTIFICATION;

// The record CeGetUserNotification fills: this header, then the trigger,
// the user notification and the texts they point at, all in one buffer.
typedef struct UserNotificationInfoHeader {
    HANDLE hNotification;
    DWORD dwStatus;
    CE_NOTIFICATION_TRIGGER *pcent;
    CE_USER_NOTIFICATION *pceun;
} CE_NOTIFICATION_INFO_HEADER, *PCE_NOTIFICATION_INFO_HEADER;

// A new request (handle NULL) or a replacement of an existing one. Returns the
// request's handle, NULL on failure, including a handle that is no longer
// stored (it fired or was cleared). A program has one pending request per
// command line: registering one replaces, in the same transaction, every
// other pending request of the same application (without case) and
// arguments.
HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER *trigger,
                               CE_USER_NOTIFICATION *user_notification);
BOOL CeClearUserNotification(HANDLE notification);

// With no array and no room, tells in `needed` how many handles there are.
BOOL CeGetUserNotificationHandles(HANDLE *handles, DWORD room, LPDWORD needed);

// Two calls: the first with size 0 gives the size the record needs in
// `needed`; the second fills a buffer of that size.
BOOL CeGetUserNotification(HANDLE notification, UINT buffer_size, LPDWORD needed, LPBYTE buffer);

// Starts `application` after the event; event 0 removes every registration
// of the application (its path compared without case).
BOOL CeRunAppAtEvent(WCHAR *application, LONG event);

// The handle as the 32-bit number the store keeps, and back.
inline DWORD notify_handle_number(HANDLE h) { return DWORD(reinterpret_cast<uintptr_t>(h)); }
inline HANDLE notify_handle_of(DWORD number) { return reinterpret_cast<HANDLE>(uintptr_t(number)); }

// Event registrations, for velctl: the application of the index-th
// registration (ordered by event, then application); false past the end.
bool notify_event_registration(DWORD index, LONG *event, WCHAR *application, size_t cap);

// Starts the notification service of the device unless it runs, and tells a
// running one to look at the database again. False when it cannot be found
// or started; device_error() says why.
bool notify_service_ensure(void);

// One line about the last failure of the notification database, copied into
// `out` (at most `cap` bytes with the terminator).
void notify_last_problem(char *out, size_t cap);

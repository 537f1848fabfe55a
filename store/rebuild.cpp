#include "store/rebuild.h"

#include <cstdlib>
#include <cwchar>

#include "store/pending_request.h"
#include "store/scheduling.h"
#include "store/settings.h"

constexpr wchar_t REMOVAL_CAPTION[] = L"Velmora Uninstall";

namespace {

void removal_problem(LPCWSTR text) { MessageBoxW(nullptr, text, REMOVAL_CAPTION, MB_OK); }

// Clears the request when its program is the manager, in any letter case,
// and, when `arguments` are given, its command line is exactly those.
bool clear_if_owned(HANDLE handle, LPCWSTR manager, LPCWSTR arguments) {
    PendingRequest r;
    if (!read_pending_request(handle, &r)) return false;
    bool ours = wcscasecmp(r.Application, manager) == 0 && (!arguments || wcscmp(r.Arguments, arguments) == 0);
    return ours && CeClearUserNotification(handle) != FALSE;
}

// Clears every request of the manager (with those arguments, when given);
// returns how many. `report` tells the uninstaller's words for a failure.
int clear_owned(LPCWSTR arguments, void (*report)(LPCWSTR)) {
    WCHAR manager[MAX_PATH];
    manager_path(manager, MAX_PATH);
    DWORD count = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &count)) {
        report(L"Unable to retrieve count of notification handles");
        return 0;
    }
    if (count == 0) return 0;  // nothing to look at; not a failure to allocate
    HANDLE *handles = (HANDLE *)calloc(count, sizeof(HANDLE));
    if (!handles) {
        report(L"Unable to allocate memory for notification handles");
        return 0;
    }
    DWORD fetched = 0;
    if (!CeGetUserNotificationHandles(handles, count, &fetched)) {
        report(L"Unable to retrieve notification handles");
        free(handles);
        return 0;
    }
    int removed = 0;
    for (DWORD i = 0; i < count; i++)
        if (clear_if_owned(handles[i], manager, arguments)) removed++;
    free(handles);
    return removed;
}

void say_nothing(LPCWSTR) {}

}  // namespace

int remove_owned_notifications(void) { return clear_owned(nullptr, removal_problem); }

int clear_event_requests(int id) {
    WCHAR arguments[16];
    event_arguments(id, arguments, 16);
    return clear_owned(arguments, say_nothing);
}

void rebuild_notifications(HWND owner) {
    if (MessageBoxW(owner,
                    L"This will remove all alarms and notifications owned by Velmora and rebuild them.\r\n\r\n"
                    L"Are you sure you want to proceed?",
                    L"Rebuild Alarms", MB_YESNO) != IDYES)
        return;
    remove_owned_notifications();
    register_manager_events();
    schedule_all(owner);
    if (Settings.Chime)
        schedule_chime(nullptr);
    else
        clear_chime();
    MessageBoxW(owner, L"Please do not soft-reset your device for at least 2 minutes after performing this action.",
                L"Alarms Rebuilt", MB_OK);
}

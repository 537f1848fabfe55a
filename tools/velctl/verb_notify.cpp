// The notification database as a person reads it.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tools/velctl/verbs.h"

namespace {

void print_local(const SYSTEMTIME &t) {
    printf("%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// One request as "handle<TAB>application<TAB>arguments<TAB>start<TAB>end";
// false when it vanished meanwhile (it fired or was cleared).
bool print_request(HANDLE h) {
    DWORD size = 0;
    CeGetUserNotification(h, 0, &size, nullptr);
    if (size == 0) return false;
    std::vector<BYTE> buffer(size);
    if (!CeGetUserNotification(h, size, &size, buffer.data())) return false;
    const auto *info = reinterpret_cast<const CE_NOTIFICATION_INFO_HEADER *>(buffer.data());
    const CE_NOTIFICATION_TRIGGER *t = info->pcent;
    printf("%u\t%s\t%s\t", notify_handle_number(h), plat::to_utf8(t->lpszApplication).c_str(),
           plat::to_utf8(t->lpszArguments).c_str());
    print_local(t->stStartTime);
    putchar('\t');
    print_local(t->stEndTime);
    putchar('\n');
    return true;
}

int fail_with_problem(void) {
    char problem[512];
    notify_last_problem(problem, sizeof problem);
    return velctl_fail("%s", problem);
}

}  // namespace

int verb_notifications(int argc, char **) {
    if (argc != 0) return velctl_usage("notifications", "takes no words");
    DWORD count = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &count)) return fail_with_problem();
    std::vector<HANDLE> handles(count);
    if (count && !CeGetUserNotificationHandles(handles.data(), count, &count))
        return fail_with_problem();
    for (DWORD i = 0; i < count && i < handles.size(); i++) print_request(handles[i]);
    return VELCTL_OK;
}

int verb_events(int argc, char **) {
    if (argc != 0) return velctl_usage("events", "takes no words");
    LONG event = 0;
    WCHAR app[MAX_PATH];
    for (DWORD i = 0; notify_event_registration(i, &event, app, MAX_PATH); i++)
        printf("%ld\t%s\n", (long)event, plat::to_utf8(app).c_str());
    char problem[512];
    notify_last_problem(problem, sizeof problem);
    if (*problem) return velctl_fail("%s", problem);
    return VELCTL_OK;
}

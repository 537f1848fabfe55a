// What the notification service needs of the notification database beyond
// the phone's calls. Internal to the platform.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

struct NotifyRequest {
    DWORD handle = 0;
    std::wstring application;  // device path
    std::wstring arguments;
    long long start_local = 0;  // ms, local device time counted as if UTC
    long long end_local = 0;
    long long created_utc = 0;  // device clock when it was registered
};

// The instant a local time registered at `created_utc` falls due: when the
// device's local clock first reaches or passes it after the registration.
// A time a DST change skips falls due at the change; one in a repeated hour
// at its first occurrence after the registration; one already passed when
// it was registered was due when the clock first reached it.
long long notify_due_utc(long long local_ms, long long created_utc);

// Removes, in one transaction, the earliest request whose start the device
// clock has reached at `now_utc` and gives it in `due` (`claimed` true).
// With none due, `next_utc` gets the instant the earliest request falls
// due, or -1 when there is none. False when the database cannot be used.
bool notify_claim_due(long long now_utc, NotifyRequest &due, bool *claimed, long long *next_utc);

// Every application registered for the event.
std::vector<std::wstring> notify_event_applications(long event);

// Asks a running service to look at the database again; false when none
// listens.
bool notify_service_poke(void);

}  // namespace plat

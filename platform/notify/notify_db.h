// What the notification service needs of the notification database beyond
// the phone's calls. Internal to the platform.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/types.h"

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

// What the service did with a due request it was handed.
enum class ClaimOutcome {
    Launched,  // a launcher waits for the claim: mark the request fired
    Dropped,   // past its end: remove it
    Failed,    // nothing could be done now: leave it
};
// Decides on the due request; when it launched it, sets the launcher's token.
typedef std::function<ClaimOutcome(const NotifyRequest &due, long long *token)> ClaimTaker;

// In one write transaction: finds the pending request that falls due first
// and, when the device clock has reached it at `now_utc`, hands it to `take`
// and settles it as `take` says (`claimed` true); `committed` runs once that
// is committed, before the database file takes it in. With none due,
// `next_utc` gets the instant the earliest falls due, or -1 when there is
// none. False when the database cannot be used or `take` failed. O(log n) in
// the pending requests.
bool notify_claim_due(long long now_utc, const ClaimTaker &take, bool *claimed, long long *next_utc,
                      const std::function<void(void)> &committed = nullptr);

// A request marked fired by a claim, and the claim's token.
struct FiredRequest {
    DWORD handle;
    long long token;
};
std::vector<FiredRequest> notify_fired_requests(void);
// The request a claim marked fired with `token`; false when there is none
// (the claim was rolled back, or the request forgotten). O(log n).
bool notify_fired_request(long long token, NotifyRequest &r);
// Removes the request when it is still marked fired by that claim.
bool notify_forget_fired(const FiredRequest &fired);
// Makes the request pending again when it is still marked fired by that
// claim: its launcher ended without starting it.
bool notify_unfire(const FiredRequest &fired);

// Every application registered for the event.
std::vector<std::wstring> notify_event_applications(long event);

// Asks a running service to look at the database again; false when none
// listens.
bool notify_service_poke(void);

}  // namespace plat

// Carrying requests out. A due request is claimed in two phases (see
// launch.cpp): it is marked fired, not removed, until its launcher has
// started the program, so that a service killed at any moment neither loses
// the start nor makes it twice.
#include <cwchar>
#include <vector>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/notify/notify.h"
#include "platform/notify/notify_db.h"
#include "platform/notifyd/notifyd.h"
#include "platform/device/process.h"

namespace {

// However short a request's end time, it may start up to this late: a
// service that woke a few ms after the start must not drop it.
constexpr long long SHORTEST_WINDOW_MS = 60000;
// A request is claimed this long before it falls due; its launcher waits for
// the instant on its own timer. The claim's transaction, its checkpoint and
// the journal are then done before the program starts, not in its way.
constexpr long long CLAIM_AHEAD_MS = 10;

void format_local(long long local_ms, wchar_t *out, size_t cap) {
    SYSTEMTIME t;
    clock_systemtime_from_ms(local_ms, &t);
    swprintf(out, cap, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

void journal_request(const wchar_t *what, const plat::NotifyRequest &r) {
    wchar_t start[32], end[32], line[1024];
    format_local(r.start_local, start, 32);
    format_local(r.end_local, end, 32);
    swprintf(line, 1024, L"%ls request %u: %ls %ls, due %ls, ends %ls", what, (unsigned)r.handle,
             r.application.c_str(), r.arguments.c_str(), start, end);
    journal_write("notification", line);
}

bool start_program(const std::wstring &application, const std::wstring &command_line) {
    std::vector<wchar_t> args(command_line.begin(), command_line.end());
    args.push_back(L'\0');
    PROCESS_INFORMATION info;
    if (!CreateProcessW(application.c_str(), args.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// Found overdue after the service was down or the clock jumped: still
// started while its end time has not passed, else dropped. The window is
// measured from the instant it fell due, so that a due time a DST change
// skips (and its end with it) keeps its whole window after the change.
bool past_its_end(const plat::NotifyRequest &r, long long now_utc) {
    long long window = r.end_local - r.start_local;
    if (window < SHORTEST_WINDOW_MS) window = SHORTEST_WINDOW_MS;
    return now_utc > plat::notify_due_utc(r.start_local, r.created_utc) + window;
}

// Inside the claim's transaction: the launcher has the request before the
// claim commits.
plat::ClaimOutcome take_due(const plat::NotifyRequest &r, long long now_utc, long long *token) {
    if (past_its_end(r, now_utc)) {
        journal_request(L"dropped", r);
        return plat::ClaimOutcome::Dropped;
    }
    char host[DEVICE_HOST_PATH];
    if (!device_host_path(r.application.c_str(), host, sizeof host)) {
        journal_request(L"could not start the program of", r);
        return plat::ClaimOutcome::Dropped;
    }
    *token = launch_hand_over(r, host, due_host_ms(r));
    return *token ? plat::ClaimOutcome::Launched : plat::ClaimOutcome::Failed;
}

}  // namespace

long long due_host_ms(const plat::NotifyRequest &r) {
    return plat::notify_due_utc(r.start_local, r.created_utc) - device_settings()->clock_offset * 1000;
}

bool run_due_requests(long long *wake_utc, bool *started_any) {
    // One request per transaction, each with its own launcher.
    *started_any = false;
    *wake_utc = -1;
    for (;;) {
        long long now = clock_utc_ms();
        bool claimed = false, launched = false;
        plat::NotifyRequest started;
        auto take = [&](const plat::NotifyRequest &r, long long *token) {
            plat::ClaimOutcome outcome = take_due(r, now, token);
            launched = outcome == plat::ClaimOutcome::Launched;
            if (launched) started = r;
            return outcome;
        };
        // Each start is journalled, so that a person can tell what fell due when.
        auto go = [&] {
            if (!launched) return;
            launch_go();
            *started_any = true;
            journal_request(L"started", started);
        };
        long long next = -1;
        bool ok = plat::notify_claim_due(now + CLAIM_AHEAD_MS, take, &claimed, &next, go);
        if (launched && !ok) launch_abandon();
        if (!ok) return false;
        if (claimed) continue;
        if (next >= 0) *wake_utc = next - CLAIM_AHEAD_MS;
        return true;
    }
}

void journal_failing_requests(void) {
    char problem[512];
    notify_last_problem(problem, sizeof problem);
    wchar_t line[600];
    swprintf(line, 600, L"due requests cannot be carried out now: %hs; trying again", problem);
    journal_write("notification", line);
}

bool forget_finished_launches(void) {
    bool waiting = false;
    for (const plat::FiredRequest &f : plat::notify_fired_requests()) {
        switch (launch_state(f.token)) {
        case LaunchState::Started:
            plat::notify_forget_fired(f);
            break;
        case LaunchState::Abandoned:
            plat::notify_unfire(f);
            waiting = true;
            break;
        case LaunchState::Waiting:
            waiting = true;
            break;
        }
    }
    // Then the locks no request names: of a spare whose service was killed.
    launch_sweep_locks();
    return waiting;
}

void run_event_programs(long event, const wchar_t *command_line) {
    for (const std::wstring &app : plat::notify_event_applications(event)) {
        if (start_program(app, command_line)) continue;
        wchar_t line[512];
        swprintf(line, 512, L"could not start %ls %ls", app.c_str(), command_line);
        journal_write("notification", line);
    }
}

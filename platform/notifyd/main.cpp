// notifyd: one per device, started by the first program that registers a
// request. It sleeps until the earliest request falls due, or until the
// clock, the zone or the database changes.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/device/clock.h"
#include "platform/core/text.h"
#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/notify/notify.h"
#include "platform/notifyd/notifyd.h"

namespace {

// While the database fails (a full disk, a lock), due requests are tried
// again after a second, then after twice as long each time, up to half a minute.
constexpr long long RETRY_MS = 1000;
constexpr long long LONGEST_RETRY_MS = 30000;
// How soon to look again while a launcher has still to start its program,
// or its program to load.
constexpr long long LAUNCH_POLL_MS = 20;

// What a clock or zone change is measured against.
struct ClockView {
    long long offset;
    std::string device_zone;
    std::string host_zone;
};

std::string host_zone_fingerprint() {
    char target[PATH_MAX];
    struct stat st;
    if (!realpath("/etc/localtime", target) || stat(target, &st) != 0) return "";
    return std::string(target) + ":" + std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec);
}

ClockView view_now() {
    const DeviceSettings *ds = device_settings();
    return ClockView{ds->clock_offset, ds->time_zone, host_zone_fingerprint()};
}

// One instance per device: the lock is held for the life of the process
// and holds its pid, for people and tests.
bool take_lock(const char *runtime_dir) {
    std::string path = std::string(runtime_dir) + "/notifyd.lock";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
    char pid[32];
    int n = snprintf(pid, sizeof pid, "%d\n", (int)getpid());
    return ftruncate(fd, 0) == 0 && pwrite(fd, pid, size_t(n), 0) == n;
}

int usage(FILE *out, int code) {
    fprintf(out,
            "usage: notifyd [--device DIR]\n"
            "The notification service of a Velmora device (DIR, else $VELMORA_DEVICE, else the default):\n"
            "starts each request's program when it falls due and the programs registered for clock and\n"
            "time-zone changes. Programs that register requests start it; one runs per device.\n");
    return code;
}

// Events to raise once the due requests of the new clock are handled.
int changes_since(ClockView &seen, int wake) {
    int changes = wake & WAKE_CLOCK_SET;
    if (!(wake & (WAKE_SETTINGS | WAKE_HOST_ZONE))) return changes;
    ClockView now = view_now();
    if (now.offset != seen.offset) changes |= WAKE_CLOCK_SET;
    bool follows_host = now.device_zone.empty();
    if (now.device_zone != seen.device_zone || (follows_host && now.host_zone != seen.host_zone))
        changes |= WAKE_HOST_ZONE;
    if (changes & WAKE_HOST_ZONE) clock_reload_zone();
    seen = now;
    return changes;
}

// Said once at each start, in the device journal and on stderr (the system
// journal under systemd): whether a due request can wake a suspended machine.
void say_which_clock(const ServiceWatch &w) {
    const char *line = w.wakes_machine
                           ? "armed CLOCK_REALTIME_ALARM: a due request wakes a suspended machine"
                           : "armed CLOCK_REALTIME (no cap_wake_alarm): a suspended machine sleeps through due requests";
    journal_write("notifyd", plat::from_utf8(line).c_str());
    fprintf(stderr, "notifyd: %s\n", line);
}

int serve(ServiceWatch &w) {
    ClockView seen = view_now();
    int changes = 0;
    long long retry = RETRY_MS;
    for (;;) {
        reserve_tend();
        long long next = -1;  // when to claim again
        bool started = false;
        bool ok = run_due_requests(&next, &started);
        if (!ok && retry == RETRY_MS) journal_failing_requests();
        // Right after a hand-over the program is about to start and load:
        // what follows (a transaction, a checkpoint, the next spare) waits a
        // poll.
        bool launching = started || forget_finished_launches();
        if (launching) {
            long long soon = clock_utc_ms() + LAUNCH_POLL_MS;
            if (next < 0 || next > soon) next = soon;
        }
        if (!ok) next = clock_utc_ms() + retry;
        retry = ok ? RETRY_MS : std::min(retry * 2, LONGEST_RETRY_MS);
        long long host = next < 0 ? -1 : next - device_settings()->clock_offset * 1000;
        // Armed first: what follows starts processes, which takes a while.
        if (!watch_arm(w, host)) {
            perror("notifyd: cannot arm the timer");
            return 1;
        }
        // Not while a program starts: the two would compete.
        if (!launching) launch_prepare_spare();
        if (changes & WAKE_CLOCK_SET) run_event_programs(NOTIFICATION_EVENT_TIME_CHANGE, APP_RUN_AFTER_TIME_CHANGE);
        if (changes & WAKE_HOST_ZONE) run_event_programs(NOTIFICATION_EVENT_TZ_CHANGE, APP_RUN_AFTER_TZ_CHANGE);
        int wake = watch_wait(w);
        if (wake & WAKE_FAILED) {
            perror("notifyd: cannot wait");
            return 1;
        }
        if (wake & WAKE_DEVICE_GONE) return 0;
        changes = changes_since(seen, wake);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "--launch") == 0) return launcher_main(argc - 2, argv + 2);
    const char *device = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return usage(stdout, 0);
        if (strcmp(argv[i], "--device") == 0 && i + 1 < argc) {
            device = argv[++i];
            continue;
        }
        fprintf(stderr, "notifyd: unknown argument %s\n", argv[i]);
        return usage(stderr, 2);
    }
    signal(SIGPIPE, SIG_IGN);
    if (!device_open(device)) {
        fprintf(stderr, "notifyd: %s\n", device_error());
        return 1;
    }
    const char *runtime = device_runtime_dir();
    if (!runtime) {
        fprintf(stderr, "notifyd: %s\n", device_error());
        return 1;
    }
    if (!take_lock(runtime)) return 0;  // another instance serves this device
    // Launchers a killed instance left are dealt with, and the database is
    // open, before the service can be seen to run.
    forget_finished_launches();
    ServiceWatch w;
    if (!watch_open(w, device_root(), runtime)) {
        perror("notifyd: cannot set up its socket, timer or watches");
        return 1;
    }
    say_which_clock(w);
    return serve(w);
}

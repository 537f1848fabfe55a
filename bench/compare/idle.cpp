// (b) The idle clock, headless and in a window on Xvfb, beside xclock
// -digital -update 1 on the same Xvfb, all three at once: CPU share of a
// core, wake-ups per second (context switches of every thread), resident
// and proportional memory.
#include <unistd.h>

#include <cstdio>

#include "bench/bench_device.h"
#include "bench/compare/clock_programs.h"
#include "bench/compare/compare.h"
#include "bench/compare/xvfb.h"
#include "bench/proc_stats.h"
#include "tests/support/temp_device.h"

namespace {

constexpr double SETTLE_MS = 3000;  // start-up is not idling

struct Idle {
    pid_t pid = -1;
    double cpu = -1, wakes = -1;
    double cpu_before = 0;
    long wakes_before = 0;
    long rss_kb = -1, pss_kb = -1;
};

void begin(Idle &i) {
    if (i.pid <= 0) return;
    i.cpu_before = on_cpu_seconds(i.pid);
    i.wakes_before = wake_ups(i.pid);
}

void end(Idle &i, int seconds) {
    if (i.pid <= 0) return;
    double cpu = on_cpu_seconds(i.pid);
    long wakes = wake_ups(i.pid);
    if (cpu < 0 || wakes < 0) return;
    i.cpu = (cpu - i.cpu_before) / seconds * 100;
    i.wakes = double(wakes - i.wakes_before) / seconds;
    i.rss_kb = resident_kb(i.pid);
    i.pss_kb = proportional_kb(i.pid);
}

// `theirs` -1 when the peer did not run; `missing` says why a figure is not there.
CompareRow row(const char *what, double ours, double theirs, double most, double most_ours,
               const std::string &missing) {
    CompareRow r;
    r.what = what;
    r.ours = ours;
    r.theirs = theirs;
    r.whose = theirs >= 0 ? "xclock" : "";
    r.most = most;
    r.most_ours = most_ours;
    r.missing = missing;
    return r;
}

}  // namespace

void compare_idle(const CompareOptions &o, std::vector<CompareRow> &rows) {
    Xvfb x;
    std::string no_x = o.xvfb.empty() ? "Xvfb missing (package xvfb)" : "";
    if (no_x.empty() && !xvfb_start(o.xvfb, x)) no_x = "Xvfb did not start";
    std::string no_peer = !no_x.empty() ? no_x : o.xclock.empty() ? "xclock missing (package x11-apps)" : "";
    std::string headless_device = make_temp_folder("compare-clock"), window_device = make_temp_folder("compare-clock");
    Idle headless, window, peer;
    headless.pid = start_clock(false, "", headless_device);
    if (no_x.empty()) window.pid = start_clock(true, x.display, window_device);
    if (no_peer.empty()) peer.pid = start_xclock(o.xclock, x.display);
    sleep_ms(SETTLE_MS);
    for (Idle *i : {&headless, &window, &peer}) begin(*i);
    sleep_ms(o.idle_seconds * 1000.0);
    for (Idle *i : {&headless, &window, &peer}) end(*i, o.idle_seconds);
    for (Idle *i : {&headless, &window, &peer})
        if (i->pid > 0) stop_program(i->pid);
    bench_remove_device(headless_device);
    bench_remove_device(window_device);
    xvfb_stop(x);

    bool peer_ran = no_peer.empty();
    double peer_cpu = peer_ran ? peer.cpu : -1, peer_wakes = peer_ran ? peer.wakes : -1;
    double peer_rss = peer_ran ? peer.rss_kb / 1024.0 : -1, peer_pss = peer_ran ? peer.pss_kb / 1024.0 : -1;
    const std::string &window_missing = !no_x.empty() ? no_x : no_peer;
    rows.push_back(row("idle CPU % of a core, headless", headless.cpu, peer_cpu, 1.0, -1, no_peer));
    rows.push_back(row("idle CPU % of a core, window", window.cpu, peer_cpu, 1.5, -1, window_missing));
    rows.push_back(row("wake-ups per s, headless", headless.wakes, peer_wakes, -1, -1, ""));
    // One wake-up per tick of the clock.
    rows.push_back(row("wake-ups per s, window", window.wakes, peer_wakes, -1, 1.05, no_x));
    rows.push_back(row("resident MB, headless", headless.rss_kb / 1024.0, peer_rss, -1, 10, ""));
    rows.push_back(row("resident MB, window", window.rss_kb / 1024.0, peer_rss, -1, -1, no_x));
    rows.push_back(row("proportional (PSS) MB, headless", headless.pss_kb / 1024.0, peer_pss, -1, -1, ""));
    rows.push_back(row("proportional (PSS) MB, window", window.pss_kb / 1024.0, peer_pss, -1, -1, no_x));
}

// Installing the built package into an empty device and removing it again,
// with the real velpkg, setup library, alarm manager and notification
// service, timed from start to exit of velpkg. Targets: each under 1 s.
// The devices live on the disk a user's device would be on (/var/tmp).
// Usage: velpkg_timing [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "tests/support/device_processes.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

constexpr double TARGET_MS = 1000;

double timed_ms(const std::vector<std::string> &argv, int *exit_code) {
    auto start = std::chrono::steady_clock::now();
    ProgramResult r = run_program(argv, {std::string("VELMORA_NOTIFYD=") + VELMORA_NOTIFYD});
    *exit_code = r.exit_code;
    if (r.exit_code != 0) fprintf(stderr, "%s", r.err.c_str());
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// "install: min 120.0 ms, median 130.0 ms, max 150.0 ms (target < 1000 ms): ok"
bool report(const char *what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    bool ok = ms.back() < TARGET_MS;
    printf("%-8s min %6.1f ms, median %6.1f ms, max %6.1f ms over %zu rounds (target < %.0f ms): %s\n", what,
           ms.front(), ms[ms.size() / 2], ms.back(), ms.size(), TARGET_MS, ok ? "ok" : "TOO SLOW");
    return ok;
}

}  // namespace

int main(int argc, char **argv) {
    int rounds = argc > 1 ? atoi(argv[1]) : 10;
    if (rounds < 1) rounds = 1;
    std::vector<double> installs, removals;
    for (int i = 0; i < rounds; i++) {
        char pattern[] = "/var/tmp/velmora-bench-XXXXXX";
        std::string root = mkdtemp(pattern);
        device_open(root.c_str());
        int rc = 0;
        installs.push_back(timed_ms({VELPKG, "--device", root, "install", VELMORA_PACKAGE}, &rc));
        if (rc == 0) removals.push_back(timed_ms({VELPKG, "--device", root, "remove", "Velmora"}, &rc));
        end_device_processes();
        device_close();
        remove_tree(root);
        if (rc != 0) return 2;
    }
    bool ok = report("install", installs);
    ok = report("remove", removals) && ok;
    return ok ? 0 : 1;
}

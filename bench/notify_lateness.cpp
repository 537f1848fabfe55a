// Lateness of notification requests: from the due time to the first
// instruction of the started program, over real processes on a temporary
// device. Usage: notify_lateness [COUNT] (default 50).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/device/device.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *PROGRAM = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";

}  // namespace

int main(int argc, char **argv) {
    int count = argc > 1 ? atoi(argv[1]) : 50;
    if (count <= 0) {
        fputs("usage: notify_lateness [COUNT]\n", stderr);
        return 2;
    }
    std::string root = make_temp_folder("bench");
    if (!device_open(root.c_str()) || !install_recorder(PROGRAM) || !start_service()) {
        fprintf(stderr, "notify_lateness: cannot set up a device with notifyd: %s\n", device_error());
        return 1;
    }
    // One request every 150 ms, so that each start is measured on its own.
    std::vector<long long> due_host(static_cast<size_t>(count), 0);
    for (int i = 0; i < count; i++) {
        long long in_ms = 1000 + 150LL * i;
        SYSTEMTIME at = local_in(in_ms);
        wchar_t args[16];
        swprintf(args, 16, L"%d", i);
        if (!add_request(PROGRAM, args, at, 5)) {
            fputs("notify_lateness: cannot register\n", stderr);
            return 1;
        }
        due_host[size_t(i)] = clock_utc_for_local(clock_ms_from_systemtime(&at)) - device_settings()->clock_offset * 1000;
    }
    auto seen = wait_for_records(size_t(count), 1000 + 150 * count + 5000);
    std::vector<double> late_ms;
    int early = 0;
    for (const Record &r : seen) {
        double late = double(r.started_ns) / 1e6 - double(due_host[size_t(atoi(r.argument.c_str()))]);
        if (late < 0) early++;
        late_ms.push_back(late);
    }
    kill_service();
    remove_tree(device_runtime_dir());
    remove_tree(root);
    if (late_ms.empty()) {
        fputs("notify_lateness: nothing started\n", stderr);
        return 1;
    }
    std::sort(late_ms.begin(), late_ms.end());
    auto pct = [&](double p) { return late_ms[std::min(late_ms.size() - 1, size_t(p * double(late_ms.size())))]; };
    printf("requests %d, started %zu, early %d\n", count, late_ms.size(), early);
    printf("lateness ms: min %.2f  p50 %.2f  p99 %.2f  max %.2f\n", late_ms.front(), pct(0.50), pct(0.99),
           late_ms.back());
    return late_ms.size() == size_t(count) && early == 0 ? 0 : 1;
}

// The notification database calls the system makes most: registering,
// replacing, and the service's look for the next due request with many
// requests pending.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/device/device.h"
#include "platform/notify/notify_db.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *PROGRAM = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";

// A fresh device with nothing started, removed afterwards.
struct BenchDevice {
    BenchDevice() : root(make_temp_folder("bench")) {
        setenv("VELMORA_NOTIFYD", "off", 1);
        device_open(root.c_str());
    }
    ~BenchDevice() {
        device_close();
        remove_tree(root);
    }
    std::string root;
};

void BM_RegisterNew(benchmark::State &state) {
    BenchDevice device;
    SYSTEMTIME at = local_in(3600 * 1000);
    for (auto _ : state) benchmark::DoNotOptimize(add_request(PROGRAM, L"/ID:3", at, 5));
}
BENCHMARK(BM_RegisterNew);

void BM_ReplaceByHandle(benchmark::State &state) {
    BenchDevice device;
    SYSTEMTIME at = local_in(3600 * 1000);
    HANDLE h = add_request(PROGRAM, L"/ID:3", at, 5);
    CE_NOTIFICATION_TRIGGER t{};
    t.dwSize = sizeof t;
    t.dwType = CNT_TIME;
    t.lpszApplication = const_cast<WCHAR *>(PROGRAM);
    t.lpszArguments = const_cast<WCHAR *>(L"/ID:3");
    t.stStartTime = at;
    t.stEndTime = at;
    for (auto _ : state) benchmark::DoNotOptimize(CeSetUserNotificationEx(h, &t, nullptr));
}
BENCHMARK(BM_ReplaceByHandle);

void BM_LookForTheNextDue(benchmark::State &state) {
    BenchDevice device;
    for (int i = 0; i < state.range(0); i++) add_request(PROGRAM, L"/ID:1", local_in((i + 1) * 60000LL), 5);
    long long now = clock_utc_ms();
    // Nothing is due, so nothing is ever handed over.
    auto take = [](const plat::NotifyRequest &, long long *) { return plat::ClaimOutcome::Failed; };
    for (auto _ : state) {
        bool claimed;
        long long next;
        benchmark::DoNotOptimize(plat::notify_claim_due(now, take, &claimed, &next));
    }
}
BENCHMARK(BM_LookForTheNextDue)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();

// The notification database calls the system makes most: registering,
// replacing, and the service's look for the next due request with many
// requests pending.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cwchar>

#include "bench/notify_requests.h"
#include "platform/device/clock.h"
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
    // Each its own command line: a registration replaces the request of the same one.
    for (int i = 0; i < state.range(0); i++) {
        wchar_t args[24];
        swprintf(args, 24, L"/ID:%d", i);
        add_request(PROGRAM, args, local_in((i + 1) * 60000LL), 5);
    }
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

// The service's path from a due request to the launcher's word: the claim's
// transaction up to its commit, with N requests pending far ahead. The
// checkpoint that follows the word, writing the due request and the
// service's look at it when told are not counted.
void BM_ClaimTheDue(benchmark::State &state) {
    BenchDevice device;
    DWORD count = 0;
    CeGetUserNotificationHandles(nullptr, 0, &count);  // makes the database
    long long year = clock_local_ms(clock_utc_ms()) + 365LL * 86400 * 1000;
    std::vector<StoredRequest> pending;
    for (long long i = 0; i < state.range(0); i++)
        pending.push_back(StoredRequest{1000000 + i, year + i * 1000, "pending-" + std::to_string(i)});
    if (!bench_store_requests(PROGRAM, pending)) state.SkipWithError("cannot write the pending requests");
    auto take = [](const plat::NotifyRequest &, long long *token) {
        *token = 42;
        return plat::ClaimOutcome::Launched;
    };
    long long handle = 1;
    for (auto _ : state) {
        StoredRequest due{handle++, clock_local_ms(clock_utc_ms()) - 1000, "due"};
        if (!bench_store_requests(PROGRAM, {due})) state.SkipWithError("cannot write the due request");
        // As the service looked when it was told of the request, a day ago.
        bool claimed = false;
        long long next;
        plat::notify_claim_due(clock_utc_ms() - 86400000LL, take, &claimed, &next);
        auto started = std::chrono::steady_clock::now();
        std::chrono::duration<double> took{};
        plat::notify_claim_due(clock_utc_ms(), take, &claimed, &next,
                               [&] { took = std::chrono::steady_clock::now() - started; });
        if (!claimed) state.SkipWithError("the due request was not claimed");
        state.SetIterationTime(took.count());
        plat::notify_forget_fired(plat::FiredRequest{DWORD(due.handle), 42});
    }
}
BENCHMARK(BM_ClaimTheDue)->Arg(0)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

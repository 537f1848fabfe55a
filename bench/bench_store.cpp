// The store's full save (ten records, each flushed to disk) and full load.
// Targets: save under 50 ms, load under 5 ms. The device lives on the disk
// the user's device would be on (/var/tmp), not in memory.
#include <benchmark/benchmark.h>
#include <ftw.h>
#include <stdlib.h>

#include <string>

#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/settings.h"

namespace {

struct BenchDevice {
    BenchDevice() {
        char pattern[] = "/var/tmp/velmora-bench-XXXXXX";
        root = mkdtemp(pattern);
        device_open(root.c_str());
        load_store();
        for (int i = 0; i < ALARM_COUNT; i++) {
            swprintf(alarm_record(i)->AlarmName, ALARM_NAME_CHARS, L"Alarm named %d", i);
            alarm_record(i)->AlarmOn = i % 2;
        }
        save_alarms();
    }
    ~BenchDevice() {
        free_alarm_table();
        device_close();
        nftw(root.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
             FTW_DEPTH | FTW_PHYS);
    }
    std::string root;
};

void BM_SaveAlarms(benchmark::State &state) {
    BenchDevice device;
    for (auto _ : state) {
        alarm_record(0)->AThour = (alarm_record(0)->AThour + 1) % 24;
        save_alarms();
    }
}
BENCHMARK(BM_SaveAlarms)->Unit(benchmark::kMillisecond);

void BM_LoadAlarms(benchmark::State &state) {
    BenchDevice device;
    for (auto _ : state) load_alarms();
}
BENCHMARK(BM_LoadAlarms)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State &state) {
    BenchDevice device;
    for (auto _ : state) load_settings();
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

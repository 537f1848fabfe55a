// The store's full save (ten records, each flushed to disk) and full load.
// Targets: save under 50 ms, load under 5 ms. Also the listing of a key's
// 2,000 values and its 2,000 subkeys, value by value as velctl lists them. The device lives on the disk
// the user's device would be on (/var/tmp), not in memory.
#include <benchmark/benchmark.h>
#include <ftw.h>
#include <stdlib.h>

#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
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

// Lists every value or subkey of the key, one call each, at each step.
void list_key(benchmark::State &state, HKEY key, bool subkeys) {
    for (auto _ : state) {
        wchar_t name[16];
        DWORD chars = 16, listed = 0;
        while ((subkeys
                    ? RegEnumKeyExW(key, listed, name, &chars, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumValueW(key, listed, name, &chars, nullptr, nullptr, nullptr, nullptr)) == ERROR_SUCCESS)
            listed++, chars = 16;
        benchmark::DoNotOptimize(listed);
    }
}

HKEY create_key(HKEY parent, const wchar_t *name) {
    HKEY key = nullptr;
    DWORD disposition;
    RegCreateKeyExW(parent, name, 0, nullptr, 0, 0, nullptr, &key, &disposition);
    return key;
}

void BM_ListValues(benchmark::State &state) {
    BenchDevice device;
    HKEY key = create_key(HKEY_LOCAL_MACHINE, L"Bench\\Values");
    for (DWORD i = 0; i < 2000; i++) {
        wchar_t name[16];
        swprintf(name, 16, L"v%04u", i);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&i), sizeof i);
    }
    RegFlushKey(key);
    list_key(state, key, false);
    RegCloseKey(key);
}
BENCHMARK(BM_ListValues)->Unit(benchmark::kMillisecond);

void BM_ListSubkeys(benchmark::State &state) {
    BenchDevice device;
    HKEY key = create_key(HKEY_LOCAL_MACHINE, L"Bench\\Keys");
    for (int i = 0; i < 2000; i++) {
        wchar_t name[16];
        swprintf(name, 16, L"k%04d", i);
        RegCloseKey(create_key(key, name));
    }
    list_key(state, key, true);
    RegCloseKey(key);
}
BENCHMARK(BM_ListSubkeys)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// From PlayRinging to the first sound handed to the output, library start
// included, on the null output: the time from an alarm falling due in the
// program to its first sample.
//   bench_ringing_latency [RUNS]   (default 50)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/bench_device.h"
#include "platform/audio/engine.h"
#include "sound/sound_player.h"
#include "tests/support/audio_files.h"

namespace {

typedef std::chrono::steady_clock Clock;
std::atomic<long long> first_sound_ns{0};

long long now_ns() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); }

void watch_output(const int16_t *samples, int frames) {
    if (first_sound_ns.load() != 0) return;
    for (int i = 0; i < frames; i++)
        if (samples[i] != 0) {
            first_sound_ns.store(now_ns());
            return;
        }
}

}  // namespace

int main(int argc, char **argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 50;
    setenv("VELMORA_AUDIO", "null", 0);
    bench_device_open();
    if (!write_wav_tone(bench_host_path(L"\\sounds\\ring.wav"), 2.0, 880)) return 1;
    audio::engine_set_observer(watch_output);
    std::vector<double> ms;
    for (int i = 0; i < runs; i++) {
        first_sound_ns = 0;
        long long start = now_ns();
        if (!PlayRinging(L"\\sounds\\ring.wav", false)) return 1;
        while (first_sound_ns.load() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        ms.push_back((first_sound_ns.load() - start) / 1e6);
        StopRinging();
        CloseRinging(false);
    }
    std::sort(ms.begin(), ms.end());
    printf("PlayRinging to first sample, %d runs: min %.2f ms, median %.2f ms, max %.2f ms\n", runs, ms.front(),
           ms[ms.size() / 2], ms.back());
    return 0;
}

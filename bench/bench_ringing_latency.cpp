// From PlayRinging to the first sound handed to the output, library start
// included, on the null output: the time from an alarm falling due in the
// program to its first sample.
//   bench_ringing_latency [RUNS]   (default 50)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/bench_device.h"
#include "sound/sound_player.h"
#include "tests/support/audio_files.h"

int main(int argc, char **argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 50;
    setenv("VELMORA_AUDIO", "null", 0);
    bench_device_open();
    if (!write_wav_tone(bench_host_path(L"\\sounds\\ring.wav"), 2.0, 880)) return 1;
    std::vector<double> ms;
    for (int i = 0; i < runs; i++) {
        bench_watch_first_sound();
        long long start = bench_now_ns();
        if (!PlayRinging(L"\\sounds\\ring.wav", false)) return 1;
        while (bench_first_sound_ns() == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        ms.push_back((bench_first_sound_ns() - start) / 1e6);
        StopRinging();
        CloseRinging(false);
    }
    std::sort(ms.begin(), ms.end());
    printf("PlayRinging to first sample, %d runs: min %.2f ms, median %.2f ms, max %.2f ms\n", runs, ms.front(),
           ms[ms.size() / 2], ms.back());
    return 0;
}

// The mixer's cost: CPU time of the whole process while three streams play
// (an MP3 and an Ogg Vorbis file at 44.1 kHz stereo, a WAV at 22 050 Hz
// mono), against the same time with the library idle, on the null output.
//   bench_mixer_cpu [SECONDS]   (default 5)
#include <sndfile.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/bench_device.h"
#include "platform/phone.h"
#include "tests/support/audio_files.h"

namespace {

double cpu_seconds() {
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Share of one core the process used over `seconds` of wall time.
double measure(double seconds) {
    double start = cpu_seconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 100.0 * (cpu_seconds() - start) / seconds;
}

}  // namespace

int main(int argc, char **argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 5.0;
    setenv("VELMORA_AUDIO", "null", 0);
    bench_device_open();
    std::vector<TonePart> song = {{2.0, 440}, {2.0, 660}, {2.0, 550}};
    if (!write_tones(bench_host_path(L"\\Music\\a.mp3"), song, 44100, 2, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) ||
        !write_tones(bench_host_path(L"\\Music\\b.ogg"), song, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS) ||
        !write_tones(bench_host_path(L"\\Music\\c.wav"), song, 22050, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16)) {
        fprintf(stderr, "cannot write the songs\n");
        return 1;
    }
    FSOUND_SetOutput(FSOUND_OUTPUT_WAVEOUT);
    if (!FSOUND_Init(22050, 32, 0)) return 1;
    printf("library idle:        %.2f %% of a core\n", measure(seconds));
    for (const char *path : {"\\Music\\a.mp3", "\\Music\\b.ogg", "\\Music\\c.wav"}) {
        FSOUND_STREAM *s = FSOUND_Stream_Open(path, 0x132, 0, 0);
        if (!s || FSOUND_Stream_Play(FSOUND_FREE, s) < 0) {
            fprintf(stderr, "cannot play %s\n", path);
            return 1;
        }
    }
    printf("three streams:       %.2f %% of a core (over %.1f s)\n", measure(seconds), seconds);
    FSOUND_Close();
    return 0;
}

#include "platform/audio/output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio/fsound.h"

namespace audio {

void Pacer::wait(int frames) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (!started_) {
        started_ = true;
        start_ = now;
    }
    int64_t elapsed_ns = int64_t(now.tv_sec - start_.tv_sec) * 1000000000LL + (now.tv_nsec - start_.tv_nsec);
    int64_t due_ns = (frames_ - frames) * 1000000000LL / rate_;  // one block ahead of the listener
    // After a stall (a stopped process, a suspend) start counting afresh
    // rather than rushing out everything that was missed.
    if (elapsed_ns - due_ns > 1000000000LL) {
        start_ = now;
        frames_ = 0;
        due_ns = -int64_t(frames) * 1000000000LL / rate_;
    }
    if (due_ns > elapsed_ns) {
        int64_t at = int64_t(start_.tv_sec) * 1000000000LL + start_.tv_nsec + due_ns;
        struct timespec until = {time_t(at / 1000000000LL), long(at % 1000000000LL)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
    }
    frames_ += frames;
}

int64_t Pacer::behind() const {
    if (!started_) return 0;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    int64_t elapsed_ns = int64_t(now.tv_sec - start_.tv_sec) * 1000000000LL + (now.tv_nsec - start_.tv_nsec);
    return elapsed_ns * rate_ / 1000000000LL - frames_;
}

std::unique_ptr<Output> open_output(int kind, int rate) {
    if (kind != FSOUND_OUTPUT_WAVEOUT) return open_null_output(rate);
    const char *choice = getenv("VELMORA_AUDIO");
    if (choice && strcmp(choice, "null") == 0) return open_null_output(rate);
    if (choice && strncmp(choice, "wav:", 4) == 0) {
        if (auto wav = open_wav_output(choice + 4, rate)) return wav;
        fprintf(stderr, "velmora: cannot write the sound capture %s: %s\n", choice + 4, strerror(errno));
        return open_null_output(rate);
    }
    if (auto sdl = open_sdl_output(rate)) return sdl;
    return open_null_output(rate);
}

}  // namespace audio

#include "tests/support/heard_output.h"

#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio/engine.h"
#include "tests/support/audio_files.h"

namespace {

constexpr int RATE = 22050;
constexpr int LOUD = 300;

std::mutex heard_lock;
std::vector<int16_t> heard;

void observe(const int16_t *samples, int frames) {
    std::lock_guard<std::mutex> g(heard_lock);
    heard.insert(heard.end(), samples, samples + frames);
}

size_t count_loud(void) {
    size_t loud = 0;
    for (int16_t s : heard) loud += s > LOUD || s < -LOUD;
    return loud;
}

}  // namespace

void listen_to_output(bool on) {
    forget_heard();
    audio::engine_set_observer(on ? observe : nullptr);
}

void forget_heard(void) {
    std::lock_guard<std::mutex> g(heard_lock);
    heard.clear();
}

size_t loud_samples_heard(void) {
    std::lock_guard<std::mutex> g(heard_lock);
    return count_loud();
}

double pitch_heard(double seconds) {
    for (int waited_ms = 0; waited_ms < seconds * 1000; waited_ms += 10) {
        {
            std::lock_guard<std::mutex> g(heard_lock);
            if (count_loud() > RATE / 4) {
                std::vector<int16_t> tail(heard.end() - RATE / 5, heard.end());
                auto runs = pitch_runs(tail, RATE);
                return runs.empty() ? 0 : runs.back().freq;
            }
        }
        usleep(10000);
    }
    return 0;
}

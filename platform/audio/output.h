// Where the mixed blocks go. Every output takes 16-bit mono blocks at the
// mixer's rate and paces the mixer to real time: the mixer waits until the
// output wants the next block, then mixes it, so a sound started meanwhile
// is in it.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>

namespace audio {

class Output {
public:
    virtual ~Output() = default;
    // Blocks until a block of `frames` is due.
    virtual void wait(int frames) = 0;
    // Hands the block on.
    virtual void write(const int16_t *samples, int frames) = 0;
    // The mixer had nothing to mix for a while and goes on now.
    virtual void resume() {}
    virtual const char *name() const = 0;
};

// Keeps a writer to real time: block n is handed on one block before it
// would be heard, measured on the monotonic clock from the first write.
class Pacer {
public:
    explicit Pacer(int rate) : rate_(rate) {}
    void wait(int frames);
    // Frames the listener has heard since the first write beyond those
    // handed on: the silence while the mixer had nothing to mix.
    int64_t behind() const;
    void count(int64_t frames) { frames_ += frames; }
    // Starts counting afresh at the next write.
    void restart() {
        started_ = false;
        frames_ = 0;
    }

private:
    int rate_;
    bool started_ = false;
    struct timespec start_{};
    int64_t frames_ = 0;
};

// The output VELMORA_AUDIO asks for ("sdl", "null" or "wav:/path"); `kind`
// FSOUND_OUTPUT_NOSOUND always gives the null output. A sound device that
// cannot be opened gives the null output too.
std::unique_ptr<Output> open_output(int kind, int rate);

std::unique_ptr<Output> open_null_output(int rate);
std::unique_ptr<Output> open_wav_output(const char *path, int rate);
std::unique_ptr<Output> open_sdl_output(int rate);  // NULL when no device plays

}  // namespace audio

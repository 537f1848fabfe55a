// Sample-rate conversion of a mono signal for the mixer: a windowed-sinc
// filter (Kaiser window) tabulated at 256 phases, interpolated between them.
// Downsampling filters below the output's Nyquist frequency, so a 44.1 kHz
// song played at 22 050 Hz does not fold its highs back as noise.
#pragma once

#include <cstdint>
#include <vector>

namespace audio {

// Fills `out` with up to `frames` input samples; 0 means the input ended.
typedef int (*ResamplerPull)(void *context, float *out, int frames);

class Resampler {
public:
    Resampler(int in_rate, int out_rate);

    // Starts again at the input's beginning: history and position cleared.
    void reset();

    // Writes up to `frames` output samples; fewer only when the input ended
    // and its last samples have been given out.
    int process(float *out, int frames, ResamplerPull pull, void *context);

    int in_rate() const { return in_rate_; }
    int out_rate() const { return out_rate_; }

private:
    bool fill(int64_t needed, ResamplerPull pull, void *context);
    float tap(const float *window, uint32_t frac) const;

    int in_rate_, out_rate_;
    bool bypass_;
    int half_;  // taps on each side of the output instant
    std::vector<float> table_;  // (PHASES + 1) rows of 2 * half_ taps
    uint64_t step_;             // input samples per output sample, 32.32 fixed point

    std::vector<float> buffer_;  // input samples from absolute index base_ on
    int64_t base_ = 0;
    int64_t have_ = 0;           // absolute index after the last sample in the buffer
    int64_t position_ = 0;       // integer part of the output instant, in input samples
    uint32_t frac_ = 0;
    bool ended_ = false;
    int64_t total_ = 0;          // input length, known once ended_
};

}  // namespace audio

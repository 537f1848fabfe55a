#include "platform/audio/resampler.h"

#include <algorithm>
#include <cmath>

namespace audio {
namespace {

constexpr int PHASES = 256;
// The filter passes up to 86 % of the lower Nyquist frequency and stops
// everything from the lower Nyquist frequency on, by 75 dB: nothing folds
// back into what can be heard.
constexpr double PASS_EDGE = 0.86;
constexpr double STOP_DB = 75.0;
constexpr double KAISER_BETA = 0.1102 * (STOP_DB - 8.7);
constexpr int PULL_CHUNK = 1024;

double bessel_i0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; k++) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-12) break;
    }
    return sum;
}

double sinc(double x) { return x == 0.0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x); }

}  // namespace

Resampler::Resampler(int in_rate, int out_rate)
    : in_rate_(in_rate), out_rate_(out_rate), bypass_(in_rate == out_rate) {
    step_ = (uint64_t(in_rate) << 32) / uint64_t(out_rate);
    // Band edges in cycles per input sample; the Kaiser design gives the
    // taps that reach the stopband attenuation across the transition.
    double nyquist = 0.5 * std::min(1.0, double(out_rate) / in_rate);
    double transition = nyquist * (1.0 - PASS_EDGE);
    double cutoff = nyquist * (1.0 + PASS_EDGE) / 2.0;
    double taps = (STOP_DB - 7.95) / (2.285 * 2.0 * M_PI * transition);
    half_ = int(std::ceil(taps / 2.0));
    int width = 2 * half_;
    table_.assign(size_t(PHASES + 1) * width, 0.0f);
    double norm = bessel_i0(KAISER_BETA);
    for (int p = 0; p <= PHASES; p++) {
        float *row = &table_[size_t(p) * width];
        double sum = 0.0;
        for (int j = 0; j < width; j++) {
            double d = double(p) / PHASES + (half_ - 1 - j);
            double r = d / half_;
            double w = std::fabs(r) >= 1.0 ? 0.0 : bessel_i0(KAISER_BETA * std::sqrt(1.0 - r * r)) / norm;
            double h = 2.0 * cutoff * sinc(2.0 * cutoff * d) * w;
            row[j] = float(h);
            sum += h;
        }
        // Each phase passes a constant unchanged, so no ripple at the phase rate.
        for (int j = 0; j < width; j++) row[j] = float(row[j] / sum);
    }
    reset();
}

void Resampler::reset() {
    buffer_.assign(size_t(half_), 0.0f);
    base_ = -half_;
    have_ = 0;
    position_ = 0;
    frac_ = 0;
    ended_ = false;
    total_ = 0;
}

bool Resampler::fill(int64_t needed, ResamplerPull pull, void *context) {
    int64_t keep_from = position_ - half_ + 1;
    if (keep_from - base_ > 8 * PULL_CHUNK) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + (keep_from - base_));
        base_ = keep_from;
    }
    float chunk[PULL_CHUNK];
    while (have_ < needed) {
        int got = 0;
        if (!ended_) {
            got = pull(context, chunk, PULL_CHUNK);
            if (got <= 0) {
                ended_ = true;
                total_ = have_;
                got = 0;
            }
        }
        if (ended_) {
            buffer_.resize(buffer_.size() + size_t(needed - have_), 0.0f);
            have_ = needed;
            break;
        }
        buffer_.insert(buffer_.end(), chunk, chunk + got);
        have_ += got;
    }
    return !(ended_ && position_ >= total_);
}

float Resampler::tap(const float *window, uint32_t frac) const {
    int width = 2 * half_;
    const float *a = &table_[size_t(frac >> 24) * width];
    const float *b = a + width;
    float t = float(frac & 0xFFFFFF) * (1.0f / 16777216.0f);
    float sa = 0.0f, sb = 0.0f;
    for (int j = 0; j < width; j++) {
        sa += window[j] * a[j];
        sb += window[j] * b[j];
    }
    return sa + t * (sb - sa);
}

int Resampler::process(float *out, int frames, ResamplerPull pull, void *context) {
    if (bypass_) {
        int done = 0;
        while (done < frames && !ended_) {
            int got = pull(context, out + done, frames - done);
            if (got <= 0) ended_ = true;
            else done += got;
        }
        return done;
    }
    int done = 0;
    while (done < frames) {
        if (!fill(position_ + half_ + 1, pull, context)) break;
        out[done++] = tap(&buffer_[size_t(position_ - half_ + 1 - base_)], frac_);
        uint64_t next = uint64_t(frac_) + (step_ & 0xFFFFFFFFu);
        position_ += int64_t(step_ >> 32) + int64_t(next >> 32);
        frac_ = uint32_t(next);
    }
    return done;
}

}  // namespace audio

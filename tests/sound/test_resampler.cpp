// Rate conversion: pitch and level kept, what the new rate cannot carry
// filtered out instead of folded back.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/audio/resampler.h"

namespace {

struct Sine {
    double freq, rate;
    long at = 0, length;
    static int pull(void *self, float *out, int frames) {
        Sine *s = static_cast<Sine *>(self);
        int n = 0;
        for (; n < frames && s->at < s->length; n++, s->at++) out[n] = float(std::sin(2 * M_PI * s->freq * s->at / s->rate));
        return n;
    }
};

std::vector<float> convert(double freq, int in_rate, int out_rate, double seconds) {
    Sine sine{freq, double(in_rate), 0, long(seconds * in_rate)};
    audio::Resampler r(in_rate, out_rate);
    std::vector<float> out;
    float block[300];
    for (int got; (got = r.process(block, 300, Sine::pull, &sine)) > 0;) out.insert(out.end(), block, block + got);
    return out;
}

// RMS over the middle, away from the edges' ramps.
double middle_rms(const std::vector<float> &s) {
    double sum = 0;
    size_t from = s.size() / 4, to = 3 * s.size() / 4;
    for (size_t i = from; i < to; i++) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

double crossings_per_second(const std::vector<float> &s, int rate) {
    int n = 0;
    for (size_t i = 1; i < s.size(); i++)
        if ((s[i - 1] < 0) != (s[i] < 0)) n++;
    return n / 2.0 / (double(s.size()) / rate);
}

TEST(Resampler, DownsamplingKeepsPitchLevelAndLength) {
    auto out = convert(1000, 44100, 22050, 1.0);
    EXPECT_NEAR(double(out.size()), 22050, 2);
    EXPECT_NEAR(middle_rms(out), std::sqrt(0.5), 0.01);
    EXPECT_NEAR(crossings_per_second(out, 22050), 1000, 5);
}

TEST(Resampler, UpsamplingKeepsPitchLevelAndLength) {
    auto out = convert(440, 8000, 22050, 1.0);
    EXPECT_NEAR(double(out.size()), 22050, 3);
    EXPECT_NEAR(middle_rms(out), std::sqrt(0.5), 0.01);
    EXPECT_NEAR(crossings_per_second(out, 22050), 440, 5);
}

TEST(Resampler, HighTonesBelowTheNewNyquistFrequencyKeepTheirLevel) {
    EXPECT_NEAR(middle_rms(convert(8000, 44100, 22050, 0.5)), std::sqrt(0.5), 0.04);
}

TEST(Resampler, TonesAboveTheNewNyquistFrequencyAreRemoved) {
    // 15 kHz would fold back to 7.05 kHz at 22 050 Hz.
    EXPECT_LT(middle_rms(convert(15000, 44100, 22050, 0.5)), 0.001);
    EXPECT_LT(middle_rms(convert(12000, 48000, 22050, 0.5)), 0.001);
}

}  // namespace

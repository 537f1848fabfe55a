// A sound held in memory, such as the system beep.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/audio/source.h"

namespace audio {

class MemorySource : public Source {
public:
    explicit MemorySource(std::vector<float> samples) : samples_(std::move(samples)) {}
    int read(float *out, int frames) override {
        int n = std::min(frames, int(samples_.size() - at_));
        std::copy_n(samples_.begin() + long(at_), n, out);
        at_ += size_t(n);
        return n;
    }
    bool rewind() override {
        at_ = 0;
        return true;
    }

private:
    std::vector<float> samples_;
    size_t at_ = 0;
};

}  // namespace audio

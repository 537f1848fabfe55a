// Something the mixer can play: mono float samples at the mixer's rate.
#pragma once

namespace audio {

class Source {
public:
    virtual ~Source() = default;
    // Up to `frames` samples; fewer only at the end.
    virtual int read(float *out, int frames) = 0;
    // Back to the first sample; false when the source cannot start again.
    virtual bool rewind() = 0;
};

}  // namespace audio

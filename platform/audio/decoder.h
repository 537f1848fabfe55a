// A sound file decoded by libsndfile (.wav, .ogg, .mp3 and what else it
// knows), mixed down to mono and converted to the mixer's rate as it plays.
// Only regular files are opened, so a named pipe cannot block the caller.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "platform/audio/resampler.h"
#include "platform/audio/source.h"

typedef struct sf_private_tag SNDFILE;

namespace audio {

class Decoder : public Source {
public:
    // NULL when the file cannot be opened or holds no sound at all.
    static std::unique_ptr<Decoder> open(const char *host_path, int out_rate);
    ~Decoder() override;

    int read(float *out, int frames) override;
    bool rewind() override;

    // True once a read failed inside the file (not its plain end).
    bool failed() const { return failed_.load(); }

private:
    Decoder() = default;
    static int pull(void *self, float *out, int frames);
    int read_file(float *out, int frames);

    SNDFILE *file_ = nullptr;
    int channels_ = 1;
    std::unique_ptr<Resampler> resampler_;
    std::atomic<bool> failed_{false};
    std::vector<float> interleaved_;
};

}  // namespace audio

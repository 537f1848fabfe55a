// The software mixer: the voices that play, summed into 16-bit mono blocks.
// Not thread-safe by itself; the engine holds its lock around every call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio/source.h"

namespace audio {

// Who a voice belongs to, so that pausing the library's streams leaves the
// device's own sounds alone.
enum VoiceGroup { GROUP_STREAMS = 0, GROUP_DEVICE = 1 };

struct Voice {
    uint64_t id;
    int group;
    std::shared_ptr<Source> source;
    bool loop;
    bool paused;
    std::function<void()> on_end;
};

// An end reached while mixing: the voice's notification, to run later.
struct VoiceEnd {
    uint64_t id;
    int group;
    std::function<void()> on_end;
};

class Mixer {
public:
    // Plays the source from where it stands, as voice `id`.
    void add(uint64_t id, std::shared_ptr<Source> source, int group, bool loop, std::function<void()> on_end);
    bool remove(uint64_t id);
    bool active(uint64_t id) const;
    Voice *find(uint64_t id);
    void pause_group(int group, bool paused);
    // Nothing to mix: no voice, or every voice paused.
    bool idle() const;

    // Mixes `frames` samples at `gain` (0..1). A voice that ends is removed
    // (a looping one starts again) and its end is added to `ended`.
    void mix(int16_t *out, int frames, float gain, std::vector<VoiceEnd> &ended);

private:
    // Reads one voice's block; false when it ended and must be removed.
    bool read_voice(Voice &v, float *block, int frames, std::vector<VoiceEnd> &ended);

    std::vector<Voice> voices_;
    std::vector<float> sum_, block_;
};

}  // namespace audio

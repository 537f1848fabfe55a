#include "platform/audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace audio {

void Mixer::add(uint64_t id, std::shared_ptr<Source> source, int group, bool loop, std::function<void()> on_end) {
    voices_.push_back(Voice{.id = id,
                            .group = group,
                            .source = std::move(source),
                            .loop = loop,
                            .paused = false,
                            .on_end = std::move(on_end)});
}

bool Mixer::remove(uint64_t id) {
    auto it = std::find_if(voices_.begin(), voices_.end(), [id](const Voice &v) { return v.id == id; });
    if (it == voices_.end()) return false;
    voices_.erase(it);
    return true;
}

bool Mixer::active(uint64_t id) const {
    return std::any_of(voices_.begin(), voices_.end(), [id](const Voice &v) { return v.id == id; });
}

Voice *Mixer::find(uint64_t id) {
    for (auto &v : voices_)
        if (v.id == id) return &v;
    return nullptr;
}

void Mixer::pause_group(int group, bool paused) {
    for (auto &v : voices_)
        if (v.group == group) v.paused = paused;
}

bool Mixer::idle() const {
    return std::all_of(voices_.begin(), voices_.end(), [](const Voice &v) { return v.paused; });
}

bool Mixer::read_voice(Voice &v, float *block, int frames, std::vector<VoiceEnd> &ended) {
    int done = 0;
    bool restarted_empty = false;
    while (done < frames) {
        int got = v.source->read(block + done, frames - done);
        done += got;
        if (done >= frames) break;
        ended.push_back(VoiceEnd{v.id, v.group, v.on_end});
        // A looping source that gives nothing after a restart would spin here.
        if (!v.loop || restarted_empty || !v.source->rewind()) {
            std::fill(block + done, block + frames, 0.0f);
            return false;
        }
        restarted_empty = got == 0;
    }
    return true;
}

void Mixer::mix(int16_t *out, int frames, float gain, std::vector<VoiceEnd> &ended) {
    sum_.assign(size_t(frames), 0.0f);
    block_.resize(size_t(frames));
    for (size_t i = 0; i < voices_.size();) {
        Voice &v = voices_[i];
        if (v.paused) {
            i++;
            continue;
        }
        bool goes_on = read_voice(v, block_.data(), frames, ended);
        for (int k = 0; k < frames; k++) sum_[size_t(k)] += block_[size_t(k)];
        if (goes_on)
            i++;
        else
            voices_.erase(voices_.begin() + long(i));
    }
    for (int k = 0; k < frames; k++) {
        float s = sum_[size_t(k)] * gain * 32767.0f;
        out[k] = int16_t(std::lrintf(std::clamp(s, -32768.0f, 32767.0f)));
    }
}

}  // namespace audio

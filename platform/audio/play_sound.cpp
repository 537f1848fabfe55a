// The device's simple player (PlaySoundW) and the system beep. Each holds
// the mixer only while its sound plays.
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/audio/decoder.h"
#include "platform/audio/engine.h"
#include "platform/audio/memory_source.h"
#include "platform/audio/mixer.h"
#include "platform/device/device.h"
#include "platform/audio/device_sound.h"
#include "platform/audio/fsound.h"

namespace {

constexpr int DEVICE_RATE = 22050;

// One sound at a time per slot; `holding` says the slot holds the engine,
// and whoever clears it releases the engine, exactly once.
struct Slot {
    std::mutex lock;
    uint64_t voice = 0;
    bool holding = false;
};

// Never destroyed: their notifications may run while the program exits.
Slot &player() {
    static Slot &s = *new Slot;
    return s;
}

Slot &beeper() {
    static Slot &s = *new Slot;
    return s;
}

void stop_slot(Slot &slot) {
    uint64_t voice;
    bool release;
    {
        std::lock_guard<std::mutex> g(slot.lock);
        voice = slot.voice;
        release = slot.holding;
        slot.voice = 0;
        slot.holding = false;
    }
    audio::engine_stop(voice);
    if (release) audio::engine_release();
}

// On the notification thread when the slot's sound has ended.
void slot_ended(Slot *slot, const std::shared_ptr<uint64_t> &voice) {
    bool release = false;
    {
        std::lock_guard<std::mutex> g(slot->lock);
        if (slot->voice != *voice) return;
        slot->voice = 0;
        release = slot->holding;
        slot->holding = false;
    }
    if (release) audio::engine_release();
}

bool start_slot(Slot &slot, std::shared_ptr<audio::Source> source, bool loop) {
    stop_slot(slot);
    audio::engine_acquire(FSOUND_OUTPUT_WAVEOUT, DEVICE_RATE);
    std::lock_guard<std::mutex> g(slot.lock);
    // The voice is not known before it starts, so its notification looks it
    // up; the slot's lock keeps it from running before the voice is stored.
    auto voice_box = std::make_shared<uint64_t>(0);
    Slot *s = &slot;
    uint64_t voice = audio::engine_play(std::move(source), audio::GROUP_DEVICE, loop, true,
                                        [s, voice_box] { slot_ended(s, voice_box); });
    if (voice == 0) {
        audio::engine_release();
        return false;
    }
    *voice_box = voice;
    slot.voice = voice;
    slot.holding = true;
    return true;
}

std::vector<float> beep_samples(int rate) {
    // 150 ms of 880 Hz with a quieter octave, soft at both ends.
    int n = rate * 150 / 1000, attack = rate * 5 / 1000, release = rate * 60 / 1000;
    std::vector<float> out(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) {
        double t = double(i) / rate;
        double env = i < attack ? double(i) / attack : i > n - release ? double(n - i) / release : 1.0;
        out[size_t(i)] = float(env * (0.45 * std::sin(2 * M_PI * 880 * t) + 0.12 * std::sin(2 * M_PI * 1760 * t)));
    }
    return out;
}

bool playing(Slot &slot) {
    std::lock_guard<std::mutex> g(slot.lock);
    return slot.voice != 0 && audio::engine_active(slot.voice);
}

}  // namespace

BOOL MessageBeep(UINT) {
    if (device_settings()->sound_profile == DEVICE_PROFILE_SILENT) return TRUE;
    auto beep = std::make_shared<audio::MemorySource>(beep_samples(DEVICE_RATE));
    return start_slot(beeper(), beep, false) ? TRUE : FALSE;
}

BOOL PlaySoundW(LPCWSTR sound, HMODULE, DWORD flags) {
    if (!sound || (flags & SND_PURGE)) {
        stop_slot(player());
        return TRUE;
    }
    if ((flags & SND_LOOP) && !(flags & SND_ASYNC)) return FALSE;
    if ((flags & SND_NOSTOP) && playing(player())) return FALSE;
    char host[DEVICE_HOST_PATH];
    std::shared_ptr<audio::Decoder> decoder;
    if (device_host_path(sound, host, sizeof host)) decoder = audio::Decoder::open(host, DEVICE_RATE);
    if (!decoder) {
        stop_slot(player());
        if (!(flags & SND_NODEFAULT)) MessageBeep(0xFFFFFFFF);
        return FALSE;
    }
    if (!start_slot(player(), decoder, (flags & SND_LOOP) != 0)) return FALSE;
    if (!(flags & SND_ASYNC)) {
        while (playing(player())) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return TRUE;
}

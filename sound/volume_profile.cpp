// The device's wave volume and the phone's sound profile, as the ringing
// sets and restores them.
#include "sound/sound_player.h"

constexpr int VOLUME_STEPS = 10;

DWORD GetWaveVolume(void) {
    DWORD volume = 0;
    waveOutGetVolume((HWAVEOUT)0, &volume);
    return volume;
}

void SetWaveVolume(DWORD level) { waveOutSetVolume((HWAVEOUT)0, level); }

void SetVolumeStep(int step) {
    // A step out of range (a damaged setting) would give a word with a
    // meaningless level; it is held to the scale instead.
    if (step < 0) step = 0;
    if (step > VOLUME_STEPS) step = VOLUME_STEPS;
    SetWaveVolume(DWORD((double)(step * 10) * 655.35));
}

bool ProfileIsSilent(void) {
    SNDFILEINFO info = {};
    return SndGetSound(SND_EVENT_ALL, &info) == S_OK && info.sstType == SND_SOUNDTYPE_NONE;
}

namespace {

void set_profile(SND_SOUNDTYPE type) {
    SNDFILEINFO info = {};
    info.sstType = type;
    SndSetSound(SND_EVENT_ALL, &info, TRUE);
}

}  // namespace

void SilenceProfile(void) { set_profile(SND_SOUNDTYPE_NONE); }

void UnsilenceProfile(void) { set_profile(SND_SOUNDTYPE_ON); }

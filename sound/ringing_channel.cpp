// The ringing channel: the alarm or countdown sound, again and again with a
// half-second gap, at the alarm's own volume when it has one.
#include "sound/stream_rules.h"
#include "store/alarms.h"

constexpr int RINGING_GAP_MS = 500;

int RingingAlarmIndex;

namespace {

// The alarm's own volume applies when the caller asks for it and the alarm
// does not use the system volume.
AlarmRecord *own_volume_alarm(void) {
    AlarmRecord *alarm = alarm_record(RingingAlarmIndex);
    return alarm && alarm->UseSystemVol == 0 ? alarm : nullptr;
}

void restore_volume(void) {
    if (!SoundPlayer.VolumeApplied) return;
    SoundPlayer.VolumeApplied = 0;
    SetWaveVolume(SoundPlayer.SavedWaveVolume);
    if (SoundPlayer.ProfileWasSilent) SilenceProfile();
}

// Library thread: the sound ended; play it again after the gap.
signed char ringing_ended(FSOUND_STREAM *stream, void *, int, void *) {
    if (SoundPlayer.RingingStopped) return TRUE;
    Sleep(RINGING_GAP_MS);
    // Stopped during the gap: the sound must not come back.
    if (SoundPlayer.RingingStopped) return TRUE;
    FSOUND_HasPowerOnOccurred();
    play_stream(stream);
    return TRUE;
}

bool open_ringing(LPCWSTR path) {
    SoundPlayer.RingingStream = open_stream(path, STREAM_MODE, ringing_ended);
    return SoundPlayer.RingingStream.load() != nullptr;
}

}  // namespace

bool PlayRinging(LPCWSTR path, bool own_volume) {
    SoundPlayer.RingingStopped = 0;
    AlarmRecord *alarm = own_volume ? own_volume_alarm() : nullptr;
    if (alarm) {
        SoundPlayer.ProfileWasSilent = ProfileIsSilent();
        if (SoundPlayer.ProfileWasSilent) UnsilenceProfile();
        SoundPlayer.SavedWaveVolume = GetWaveVolume();
        SetVolumeStep(int(alarm->Volume));
        SoundPlayer.VolumeApplied = 1;
    }
    if (!StartSoundLibrary()) return false;
    if (!open_with_retries(open_ringing, path, nullptr)) {
        restore_volume();
        return false;
    }
    FSOUND_HasPowerOnOccurred();
    return play_stream(SoundPlayer.RingingStream);
}

void StopRinging(void) {
    FSOUND_STREAM *stream = SoundPlayer.RingingStream;
    if (!stream) return;
    SoundPlayer.RingingStopped = 1;
    FSOUND_Stream_Stop(stream);
}

void CloseRinging(bool restore) {
    close_stream(SoundPlayer.RingingStream);
    ReleaseSoundLibrary();
    // Only what PlayRinging changed is put back: a volume never saved would
    // otherwise silence the device.
    if (restore && own_volume_alarm()) restore_volume();
}

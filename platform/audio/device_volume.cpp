// Volume and sound profile, kept in the device settings.
#include <cstring>

#include "platform/audio/engine.h"
#include "platform/device/device.h"
#include "platform/audio/device_sound.h"

MMRESULT waveOutGetVolume(HWAVEOUT device, LPDWORD volume) {
    if (device != nullptr) return MMSYSERR_BADDEVICEID;
    if (!volume) return MMSYSERR_INVALPARAM;
    *volume = device_settings()->wave_volume;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    if (device != nullptr) return MMSYSERR_BADDEVICEID;
    DeviceSettings s = *device_settings();
    s.wave_volume = volume;
    if (!device_save_settings(&s)) return MMSYSERR_ERROR;
    audio::engine_refresh_gain();
    return MMSYSERR_NOERROR;
}

HRESULT SndGetSound(SND_EVENT event, SNDFILEINFO *info) {
    if (event != SND_EVENT_ALL) return E_NOTIMPL;
    if (!info) return E_INVALIDARG;
    memset(info, 0, sizeof *info);
    info->sstType = device_settings()->sound_profile == DEVICE_PROFILE_SILENT ? SND_SOUNDTYPE_NONE : SND_SOUNDTYPE_ON;
    return S_OK;
}

HRESULT SndSetSound(SND_EVENT event, const SNDFILEINFO *info, BOOL) {
    if (event != SND_EVENT_ALL) return E_NOTIMPL;
    if (!info || (info->sstType != SND_SOUNDTYPE_ON && info->sstType != SND_SOUNDTYPE_NONE)) return E_INVALIDARG;
    DeviceSettings s = *device_settings();
    s.sound_profile = info->sstType == SND_SOUNDTYPE_NONE ? DEVICE_PROFILE_SILENT : DEVICE_PROFILE_ON;
    return device_save_settings(&s) ? S_OK : E_FAIL;
}

// The device's own sound: its wave-out volume (the gain of everything the
// device plays), its sound profile (on or silent), the simple player that
// plays a file on request and the system beep. Volume and profile are device
// settings, so every program of the device sees the same.
#pragma once

#include "platform/core/types.h"

typedef UINT MMRESULT;
DECLARE_HANDLE(HWAVEOUT);

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_INVALPARAM 11

// The volume word: the low-order 16 bits are the level (0 silent ... 0xFFFF
// full); the high-order word is the right channel of a stereo device and is
// kept but not used, the device being mono. Device 0 is the only device.
MMRESULT waveOutGetVolume(HWAVEOUT device, LPDWORD volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);

#define SND_SYNC 0x00000000
#define SND_ASYNC 0x00000001
#define SND_NODEFAULT 0x00000002
#define SND_LOOP 0x00000008
#define SND_NOSTOP 0x00000010
#define SND_PURGE 0x00000040
#define SND_FILENAME 0x00020000

// Plays a sound file (a device path); a new sound stops the one before. A
// NULL sound or SND_PURGE stops what plays. A file that cannot be played
// gives the system beep unless SND_NODEFAULT, and FALSE.
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

// A short beep, asynchronous; silent while the sound profile is silent.
BOOL MessageBeep(UINT type);

// As the shell's calls define them, token for token.
#define S_OK ((HRESULT)0L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)

typedef enum tagSND_EVENT {
    SND_EVENT_ALL = 0,
} SND_EVENT;

typedef enum tagSND_SOUNDTYPE {
    SND_SOUNDTYPE_ON = 0,
    SND_SOUNDTYPE_VIBRATE = 1,
    SND_SOUNDTYPE_NONE = 2,
} SND_SOUNDTYPE;

typedef struct tagSNDFILEINFO {
    WCHAR szPathName[MAX_PATH];
    WCHAR szDisplayName[MAX_PATH];
    SND_SOUNDTYPE sstType;
} SNDFILEINFO;

// The sound profile of the whole phone (SND_EVENT_ALL): SND_SOUNDTYPE_NONE
// when silent, SND_SOUNDTYPE_ON otherwise. Setting takes ON or NONE; the
// other event kinds of the phone are not kept here.
HRESULT SndGetSound(SND_EVENT event, SNDFILEINFO *info);
HRESULT SndSetSound(SND_EVENT event, const SNDFILEINFO *info, BOOL suppress_ui);

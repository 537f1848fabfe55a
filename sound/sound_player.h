// The one module through which the programs make sound: three channels over
// the sound library (ringing, one-shot, sleep), the count of library users,
// the alarm's own volume and the lifting of a silent phone profile.
//
// End notifications run on the library's thread and touch only the flags
// below and their own channel's stream, hence the atomics; everything else
// runs on the user-interface thread.
#pragma once

#include <atomic>

#include "platform/phone.h"
#include "sound/song_list.h"
#include "sound/tag_value.h"

typedef std::atomic<unsigned char> SoundFlag;
typedef std::atomic<FSOUND_STREAM *> StreamSlot;

struct SoundPlayerState {
    LONG LibraryUsers;  // successful library start-ups not yet released

    StreamSlot RingingStream;
    SoundFlag RingingStopped;

    StreamSlot OnceStream;
    SoundFlag OnceEnded;

    StreamSlot SleepStream;
    SoundFlag SleepStopping;
    SoundFlag SleepFinished;
    SongNode *SleepHead;  // the list stays owned by the sleep mode
    std::atomic<SongNode *> SleepCurrent;

    WCHAR SongTitle[SONG_TEXT_CHARS + 1];
    WCHAR SongArtist[SONG_TEXT_CHARS + 1];
    WCHAR SongAlbum[SONG_TEXT_CHARS + 1];
    SoundFlag SongChanged;

    DWORD SavedWaveVolume;
    BYTE ProfileWasSilent;
    BYTE VolumeApplied;  // PlayRinging set the alarm's volume and not yet put it back
};

extern SoundPlayerState SoundPlayer;

// The alarm whose record PlayRinging and CloseRinging read (UseSystemVol,
// Volume); set by whoever opens the ringing dialog.
extern int RingingAlarmIndex;

// The library and its users.
bool StartSoundLibrary(void);
void ReleaseSoundLibrary(void);
bool PowerOnOccurred(void);
void PauseAll(bool paused);

// Ringing channel: repeats with a half-second gap until stopped.
bool PlayRinging(LPCWSTR path, bool own_volume);
void StopRinging(void);
void CloseRinging(bool restore);

// One-shot channel.
bool PlayOnce(LPCWSTR path);
void StopOnce(void);
void CloseOnce(void);

// Volume and profile.
DWORD GetWaveVolume(void);
void SetWaveVolume(DWORD level);
void SetVolumeStep(int step);
bool ProfileIsSilent(void);
void SilenceProfile(void);
void UnsilenceProfile(void);

// Sleep channel.
bool StartSleepList(SongNode *list);
void StepSleepList(bool forward);
void StopSleep(void);
void CloseSleep(void);
bool OpenSong(const char *multibyte_path, LPCWSTR path);

// The current song's tags into SongTitle, SongArtist, SongAlbum.
void ReadSongInfo(FSOUND_STREAM *stream, LPCWSTR path);

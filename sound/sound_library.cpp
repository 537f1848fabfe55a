// The library's start-up and release, counted per user, and what acts on the
// library as a whole.
#include "sound/sound_player.h"

constexpr int MIX_RATE = 22050;
constexpr int SOFTWARE_CHANNELS = 32;
constexpr int INIT_CALLS = 11;
constexpr int INIT_RETRY_MS = 100;

SoundPlayerState SoundPlayer;

bool StartSoundLibrary(void) {
    // The answers are not needed; asking clears what they report.
    FSOUND_File_HasFatalErrorOccurred();
    FSOUND_HasPowerOnOccurred();
    FSOUND_SetOutput(FSOUND_OUTPUT_WAVEOUT);
    if (SoundPlayer.LibraryUsers == 0) {
        bool ready = false;
        for (int i = 0; i < INIT_CALLS && !ready; i++) {
            if (i > 0) Sleep(INIT_RETRY_MS);
            ready = FSOUND_Init(MIX_RATE, SOFTWARE_CHANNELS, 0) != 0;
        }
        if (!ready) return false;
    }
    SoundPlayer.LibraryUsers++;
    return true;
}

void ReleaseSoundLibrary(void) {
    // A release without a start (callers release after a failed start too)
    // must not take the count below 0: the library would never start again.
    if (SoundPlayer.LibraryUsers <= 0) return;
    if (--SoundPlayer.LibraryUsers == 0) FSOUND_Close();
}

bool PowerOnOccurred(void) { return FSOUND_HasPowerOnOccurred() != 0; }

void PauseAll(bool paused) { FSOUND_SetPaused(FSOUND_ALL, paused ? 1 : 0); }

// A fresh device per test with the sound library capturing to a WAV file in
// it, message boxes answered at once, and the sound player's state cleared.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "sound/sound_player.h"
#include "tests/support/audio_files.h"
#include "tests/support/temp_device.h"

class SoundTest : public TempDevice {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the host folders of a device path's parent and returns the host path.
    std::string host_of(const wchar_t *device_path);
    // A tone file at a device path.
    void make_tone(const wchar_t *device_path, double seconds, double freq, int rate = 22050);

    // Message boxes written to the device journal, as "[caption] text".
    std::vector<std::string> boxes();

    // The capture so far closed: call after the library was closed.
    std::vector<int16_t> capture();

    // Polls until `done` holds or `seconds` pass; true when it held.
    static bool wait_until(const std::function<bool()> &done, double seconds);
    static void pause_for(double seconds);

    std::string capture_path;
};

// Every stream closed, every user released.
void release_sound_library_fully();

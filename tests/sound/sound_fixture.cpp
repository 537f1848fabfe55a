#include "tests/sound/sound_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/shell/message_box_testing.h"
#include "platform/audio/fsound_testing.h"
#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/settings.h"

namespace {

void reset_sound_player() {
    SoundPlayerState &p = SoundPlayer;
    p.LibraryUsers = 0;
    p.RingingStream = nullptr;
    p.RingingStopped = 0;
    p.OnceStream = nullptr;
    p.OnceEnded = 0;
    p.SleepStream = nullptr;
    p.SleepStopping = 0;
    p.SleepFinished = 0;
    p.SleepHead = nullptr;
    p.SleepCurrent = nullptr;
    p.SongTitle[0] = p.SongArtist[0] = p.SongAlbum[0] = 0;
    p.SongChanged = 0;
    p.SavedWaveVolume = 0;
    p.ProfileWasSilent = 0;
    p.VolumeApplied = 0;
    RingingAlarmIndex = 0;
}

void make_folders(const std::string &path) {
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

}  // namespace

void release_sound_library_fully() {
    while (SoundPlayer.LibraryUsers > 0) ReleaseSoundLibrary();
    FSOUND_Close();
}

void SoundTest::SetUp() {
    TempDevice::SetUp();
    message_box_set_headless(true);
    capture_path = root + "/capture.wav";
    setenv("VELMORA_AUDIO", ("wav:" + capture_path).c_str(), 1);
    reset_sound_player();
    set_default_settings();
    create_alarm_table();
    set_alarm_defaults();
}

void SoundTest::TearDown() {
    release_sound_library_fully();
    fsound_fail_inits(0);
    fsound_fail_closes(0);
    unsetenv("VELMORA_AUDIO");
    free_alarm_table();
    TempDevice::TearDown();
}

std::string SoundTest::host_of(const wchar_t *device_path) {
    char host[DEVICE_HOST_PATH];
    EXPECT_TRUE(device_host_path(device_path, host, sizeof host));
    make_folders(host);
    return host;
}

void SoundTest::make_tone(const wchar_t *device_path, double seconds, double freq, int rate) {
    ASSERT_TRUE(write_wav_tone(host_of(device_path), seconds, freq, rate));
}

std::vector<std::string> SoundTest::boxes() {
    std::ifstream in(root + "/journal.log");
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find("message box");
        if (at == std::string::npos) continue;
        size_t text = line.find(": ", at);
        out.push_back(line.substr(text + 2));
    }
    return out;
}

std::vector<int16_t> SoundTest::capture() {
    int rate = 0;
    std::vector<int16_t> samples = read_wav(capture_path, &rate);
    EXPECT_EQ(rate, 22050);
    return samples;
}

bool SoundTest::wait_until(const std::function<bool()> &done, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void SoundTest::pause_for(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

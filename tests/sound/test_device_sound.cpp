// The device's own sound: volume and profile kept in the device, the simple
// player and the beep; velctl's power and profile verbs.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/device/device.h"
#include "tests/sound/sound_fixture.h"

namespace {

class DeviceSoundTest : public SoundTest {
protected:
    int velctl(const std::string &words) {
        std::string command = std::string(VELCTL_PATH) + " --device '" + root + "' " + words + " >/dev/null";
        return system(command.c_str());
    }
    SND_SOUNDTYPE profile() {
        SNDFILEINFO info{};
        EXPECT_EQ(SndGetSound(SND_EVENT_ALL, &info), S_OK);
        return info.sstType;
    }
};

TEST_F(DeviceSoundTest, VolumeIsKeptInTheDeviceForDeviceZeroOnly) {
    DWORD v = 0;
    ASSERT_EQ(waveOutGetVolume((HWAVEOUT)0, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu) << "a new device plays at full volume";
    ASSERT_EQ(waveOutSetVolume((HWAVEOUT)0, 0x00004000), MMSYSERR_NOERROR);
    device_close();
    ASSERT_TRUE(device_open(root.c_str()));
    ASSERT_EQ(waveOutGetVolume((HWAVEOUT)0, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0x00004000u);
    EXPECT_EQ(waveOutSetVolume((HWAVEOUT)1, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutGetVolume((HWAVEOUT)0, nullptr), MMSYSERR_INVALPARAM);
}

TEST_F(DeviceSoundTest, ProfileIsOnOrSilentAndSharedWithVelctl) {
    EXPECT_EQ(profile(), SND_SOUNDTYPE_ON);
    ASSERT_EQ(velctl("profile silent"), 0);
    EXPECT_EQ(profile(), SND_SOUNDTYPE_NONE);
    SNDFILEINFO info{};
    info.sstType = SND_SOUNDTYPE_ON;
    ASSERT_EQ(SndSetSound(SND_EVENT_ALL, &info, TRUE), S_OK);
    EXPECT_EQ(profile(), SND_SOUNDTYPE_ON);
    info.sstType = SND_SOUNDTYPE_VIBRATE;
    EXPECT_EQ(SndSetSound(SND_EVENT_ALL, &info, TRUE), E_INVALIDARG);
    EXPECT_NE(velctl("profile loud"), 0);
}

TEST_F(DeviceSoundTest, VelctlPowerOnIsSeenByTheLibrary) {
    EXPECT_FALSE(FSOUND_HasPowerOnOccurred());
    ASSERT_EQ(velctl("power on"), 0);
    EXPECT_TRUE(FSOUND_HasPowerOnOccurred());
    EXPECT_FALSE(FSOUND_HasPowerOnOccurred());
}

TEST_F(DeviceSoundTest, VolumeIsTheGainOfWhatIsHeard) {
    make_tone(L"\\s\\a.wav", 0.3, 500);
    ASSERT_EQ(waveOutSetVolume((HWAVEOUT)0, 0x00008000), MMSYSERR_NOERROR);  // half
    ASSERT_TRUE(PlaySoundW(L"\\s\\a.wav", nullptr, SND_FILENAME | SND_ASYNC));
    pause_for(0.5);
    PlaySoundW(nullptr, nullptr, 0);
    auto samples = capture();
    int16_t top = 0;
    for (int16_t s : samples) top = std::max<int16_t>(top, s);
    EXPECT_NEAR(top, 0.5 * 0.5 * 32767, 400) << "a tone at half scale, at half volume";
}

TEST_F(DeviceSoundTest, PlaySoundPlaysAFileUntilPurged) {
    make_tone(L"\\s\\a.wav", 3.0, 500);
    ASSERT_TRUE(PlaySoundW(L"\\s\\a.wav", nullptr, SND_FILENAME | SND_ASYNC));
    pause_for(0.3);
    EXPECT_TRUE(PlaySoundW(nullptr, nullptr, SND_PURGE));
    pause_for(0.3);
    EXPECT_FALSE(PlaySoundW(L"\\s\\gone.wav", nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT));
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_NEAR(parts[0].end - parts[0].start, 0.3, 0.05);
}

TEST_F(DeviceSoundTest, BeepIsShortAndSilentWithTheSilentProfile) {
    ASSERT_TRUE(MessageBeep(0xFFFFFFFF));
    pause_for(0.4);
    ASSERT_EQ(velctl("profile silent"), 0);
    ASSERT_TRUE(MessageBeep(0xFFFFFFFF));
    pause_for(0.3);
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_LT(parts[0].end - parts[0].start, 0.2);
}

}  // namespace

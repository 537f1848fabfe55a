// The sound player's channels, library users, volume and profile.
#include <gtest/gtest.h>

#include "platform/device/clock_testing.h"
#include "platform/audio/fsound_testing.h"
#include "platform/device/device.h"
#include "store/alarms.h"
#include "tests/sound/sound_fixture.h"

namespace {

class SoundPlayerTest : public SoundTest {
protected:
    // The frozen clock with virtual sleep: retries wait without waiting, and
    // the clock tells how long they would have waited.
    void freeze() {
        clock_freeze_utc(1700000000000LL);
        clock_set_virtual_sleep(true);
    }
    long long waited_ms() { return clock_utc_ms() - 1700000000000LL; }

    void set_volume(DWORD v) { ASSERT_EQ(waveOutSetVolume((HWAVEOUT)0, v), MMSYSERR_NOERROR); }
    void set_silent(bool silent) {
        SNDFILEINFO info{};
        info.sstType = silent ? SND_SOUNDTYPE_NONE : SND_SOUNDTYPE_ON;
        ASSERT_EQ(SndSetSound(SND_EVENT_ALL, &info, TRUE), S_OK);
    }
    AlarmRecord &alarm() { return *alarm_record(RingingAlarmIndex); }
};

TEST_F(SoundPlayerTest, VolumeStepsGiveTheLevelInTheLowWord) {
    const DWORD expected[] = {0, 0x1999, 0x3333, 0x4CCC, 0x6666, 0x7FFF, 0x9999, 0xB332, 0xCCCC, 0xE665, 0xFFFF};
    for (int step = 0; step <= 10; step++) {
        SetVolumeStep(step);
        EXPECT_EQ(GetWaveVolume(), expected[step]) << "step " << step;
    }
    // A damaged setting stays on the scale.
    SetVolumeStep(1000);
    EXPECT_EQ(GetWaveVolume(), 0xFFFFu);
    SetVolumeStep(-3);
    EXPECT_EQ(GetWaveVolume(), 0u);
}

TEST_F(SoundPlayerTest, SystemVolumeAlarmLeavesVolumeAndProfileAlone) {
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    set_volume(0x12341234);
    set_silent(true);
    alarm().UseSystemVol = 1;
    alarm().Volume = 3;
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\a.wav", true));
    EXPECT_EQ(GetWaveVolume(), 0x12341234u);
    EXPECT_TRUE(ProfileIsSilent());
    StopRinging();
    CloseRinging(true);
    EXPECT_EQ(GetWaveVolume(), 0x12341234u);
    EXPECT_TRUE(ProfileIsSilent());
}

TEST_F(SoundPlayerTest, SilentProfileIsLiftedForTheRingingAndRestored) {
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    set_volume(0xAAAA);
    set_silent(true);
    alarm().UseSystemVol = 0;
    alarm().Volume = 5;
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\a.wav", true));
    EXPECT_FALSE(ProfileIsSilent());
    EXPECT_EQ(GetWaveVolume(), 0x7FFFu);
    EXPECT_EQ(device_settings()->wave_volume, 0x7FFFu);  // the device's setting is the gain
    StopRinging();
    CloseRinging(true);
    EXPECT_TRUE(ProfileIsSilent());
    EXPECT_EQ(GetWaveVolume(), 0xAAAAu);
}

TEST_F(SoundPlayerTest, ProfileThatWasOnIsLeftOnAtTheClose) {
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    set_silent(false);
    alarm().UseSystemVol = 0;
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\a.wav", true));
    StopRinging();
    CloseRinging(true);
    EXPECT_FALSE(ProfileIsSilent());
}

TEST_F(SoundPlayerTest, CountdownRingsAtTheSystemVolume) {
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    set_volume(0x4444);
    set_silent(true);
    alarm().UseSystemVol = 0;
    alarm().Volume = 10;
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\a.wav", false));
    StopRinging();
    CloseRinging(false);
    EXPECT_EQ(GetWaveVolume(), 0x4444u);
    EXPECT_TRUE(ProfileIsSilent());
}

TEST_F(SoundPlayerTest, RingingFileThatNeverOpensRestoresAtOnceWithoutABox) {
    freeze();
    set_volume(0x5555);
    set_silent(true);
    alarm().UseSystemVol = 0;
    alarm().Volume = 1;
    EXPECT_FALSE(PlayRinging(L"\\My Documents\\missing.wav", true));
    EXPECT_EQ(waited_ms(), 6 * 500);
    EXPECT_EQ(GetWaveVolume(), 0x5555u);
    EXPECT_TRUE(ProfileIsSilent());
    EXPECT_TRUE(boxes().empty());
    // The dialog's own close afterwards changes nothing more.
    StopRinging();
    CloseRinging(true);
    EXPECT_EQ(GetWaveVolume(), 0x5555u);
    EXPECT_EQ(SoundPlayer.LibraryUsers, 0);
}

TEST_F(SoundPlayerTest, CloseWithRestoreBeforeAnyRingingKeepsTheVolume) {
    set_volume(0x6666);
    alarm().UseSystemVol = 0;
    CloseRinging(true);
    EXPECT_EQ(GetWaveVolume(), 0x6666u);
}

TEST_F(SoundPlayerTest, MissingOneShotFileShowsSixOpenFailedThenUnableToPlay) {
    freeze();
    EXPECT_FALSE(PlayOnce(L"\\My Documents\\gone.wav"));
    std::vector<std::string> expected(6, "[Open Failed] \\My Documents\\gone.wav");
    expected.push_back("[Error] Unable to play sound!");
    EXPECT_EQ(boxes(), expected);
    EXPECT_EQ(waited_ms(), 6 * 500);
}

TEST_F(SoundPlayerTest, LibraryStartsAtTheEleventhInitialisation) {
    freeze();
    fsound_fail_inits(10);
    EXPECT_TRUE(StartSoundLibrary());
    EXPECT_EQ(SoundPlayer.LibraryUsers, 1);
    EXPECT_EQ(waited_ms(), 10 * 100);
}

TEST_F(SoundPlayerTest, LibraryThatNeverStartsIsNotCountedAndStartsLater) {
    freeze();
    fsound_fail_inits(11);
    EXPECT_FALSE(StartSoundLibrary());
    EXPECT_EQ(SoundPlayer.LibraryUsers, 0);
    EXPECT_EQ(waited_ms(), 10 * 100);
    // The ringing dialog closes after a failed start too; that release must
    // not leave the count below zero, or the library never starts again.
    StopRinging();
    CloseRinging(true);
    EXPECT_EQ(SoundPlayer.LibraryUsers, 0);
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    EXPECT_TRUE(PlayRinging(L"\\My Documents\\a.wav", false));
    EXPECT_EQ(SoundPlayer.LibraryUsers, 1);
}

TEST_F(SoundPlayerTest, PlayOnceGoesOnWhenTheLibraryDoesNotStart) {
    freeze();
    fsound_fail_inits(11);
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    // Without the library no stream opens, so the file's boxes are shown.
    EXPECT_FALSE(PlayOnce(L"\\My Documents\\a.wav"));
    EXPECT_EQ(boxes().size(), 7u);
}

TEST_F(SoundPlayerTest, LibraryClosesOnlyWhenTheLastUserLetsGo) {
    make_tone(L"\\My Documents\\a.wav", 0.2, 500);
    ASSERT_TRUE(StartSoundLibrary());
    ASSERT_TRUE(StartSoundLibrary());
    ReleaseSoundLibrary();
    EXPECT_EQ(SoundPlayer.LibraryUsers, 1);
    FSOUND_STREAM *s = FSOUND_Stream_Open("\\My Documents\\a.wav", 0x130, 0, 0);
    EXPECT_NE(s, nullptr) << "still initialised";
    FSOUND_Stream_Close(s);
    ReleaseSoundLibrary();
    EXPECT_EQ(FSOUND_Stream_Open("\\My Documents\\a.wav", 0x130, 0, 0), nullptr) << "closed";
}

TEST_F(SoundPlayerTest, CloseRuleRetriesSixTimesAndForgetsTheStream) {
    make_tone(L"\\My Documents\\a.wav", 0.5, 500);
    ASSERT_TRUE(PlayOnce(L"\\My Documents\\a.wav"));
    freeze();
    fsound_fail_closes(2);
    CloseOnce();
    EXPECT_EQ(waited_ms(), 2 * 200);
    EXPECT_EQ(SoundPlayer.OnceStream.load(), nullptr);

    ASSERT_TRUE(PlayOnce(L"\\My Documents\\a.wav"));
    fsound_fail_closes(100);
    long long before = waited_ms();
    CloseOnce();
    EXPECT_EQ(waited_ms() - before, 6 * 200);
    EXPECT_EQ(SoundPlayer.OnceStream.load(), nullptr);
}

TEST_F(SoundPlayerTest, OneShotEndSetsTheFlag) {
    make_tone(L"\\My Documents\\a.wav", 0.15, 500);
    ASSERT_TRUE(PlayOnce(L"\\My Documents\\a.wav"));
    EXPECT_TRUE(wait_until([] { return SoundPlayer.OnceEnded.load() != 0; }, 2.0));
    CloseOnce();
    ReleaseSoundLibrary();
}

TEST_F(SoundPlayerTest, PowerOnIsSeenOnceAfterVelctlRecordsIt) {
    ASSERT_TRUE(StartSoundLibrary());  // takes note of where things stand
    EXPECT_FALSE(PowerOnOccurred());
    ASSERT_TRUE(power_record_on());
    EXPECT_TRUE(PowerOnOccurred());
    EXPECT_FALSE(PowerOnOccurred());
}

// The ringing repeats with a half-second gap: 2 s of sound, 0.5 s of
// silence, 2 s of sound, as heard in the capture.
TEST_F(SoundPlayerTest, RingingOfTwoSecondsRepeatsAfterHalfASecond) {
    make_tone(L"\\My Documents\\ring.wav", 2.0, 700);
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\ring.wav", false));
    pause_for(4.8);
    StopRinging();
    CloseRinging(false);
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_GE(parts.size(), 2u);
    EXPECT_NEAR(parts[0].end - parts[0].start, 2.0, 0.05);
    EXPECT_NEAR(parts[1].start - parts[0].end, 0.5, 0.05);
    EXPECT_NEAR(parts[1].end - parts[1].start, 2.0, 0.05);
}

TEST_F(SoundPlayerTest, StopDuringTheGapKeepsTheRingingStopped) {
    make_tone(L"\\My Documents\\ring.wav", 0.2, 700);
    ASSERT_TRUE(PlayRinging(L"\\My Documents\\ring.wav", false));
    pause_for(0.4);  // inside the gap after the first end
    StopRinging();
    pause_for(0.6);
    CloseRinging(false);
    auto parts = sound_stretches(capture(), 22050);
    EXPECT_EQ(parts.size(), 1u);
}

}  // namespace

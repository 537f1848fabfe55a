// Sleep music as heard: songs in order, round again with timed sleep, the
// end without, Next and Previous, and the pause.
#include <cmath>

#include <gtest/gtest.h>

#include "platform/device/clock_testing.h"
#include "platform/audio/fsound_testing.h"
#include "store/settings.h"
#include "tests/sound/sound_fixture.h"

namespace {

class SleepPlaybackTest : public SoundTest {
protected:
    void TearDown() override {
        FreeSongList(list);
        SoundTest::TearDown();
    }
    // Songs of `seconds` each; song k sounds at 500 * 2^k Hz.
    void make_songs(int count, double seconds) {
        for (int k = count; k-- > 0;) {
            WCHAR path[MAX_PATH];
            swprintf(path, MAX_PATH, L"\\Music\\%d.wav", k + 1);
            make_tone(path, seconds, 500.0 * (1 << k));
            SongNode *node = new_song_node(path);
            node->Next = list;
            list = node;
        }
    }
    // Leaves sleep as the sleep mode does, so the capture is complete.
    void leave() {
        StopSleep();
        CloseSleep();
        ReleaseSoundLibrary();
        FSOUND_Close();
    }
    // The songs heard, by number, from the capture's pitches.
    std::vector<int> heard() {
        std::vector<int> out;
        for (const Stretch &run : pitch_runs(capture(), 22050)) out.push_back(int(std::lround(std::log2(run.freq / 500.0))) + 1);
        return out;
    }
    int current() {
        int k = 1;
        for (SongNode *n = list; n; n = n->Next, k++)
            if (n == SoundPlayer.SleepCurrent.load()) return k;
        return 0;
    }
    SongNode *list = nullptr;
};

TEST_F(SleepPlaybackTest, EmptyListDoesNotStart) { EXPECT_FALSE(StartSleepList(nullptr)); }

TEST_F(SleepPlaybackTest, ThreeSongsGoRoundWithTimedSleep) {
    Settings.TimedSleep = 1;
    make_songs(3, 0.25);
    ASSERT_TRUE(StartSleepList(list));
    pause_for(1.15);
    leave();
    std::vector<int> songs = heard();
    ASSERT_GE(songs.size(), 4u);
    EXPECT_EQ(std::vector<int>(songs.begin(), songs.begin() + 4), (std::vector<int>{1, 2, 3, 1}));
    EXPECT_FALSE(SoundPlayer.SleepFinished.load());
}

TEST_F(SleepPlaybackTest, ThreeSongsPlayOnceWithoutTimedSleep) {
    Settings.TimedSleep = 0;
    make_songs(3, 0.25);
    ASSERT_TRUE(StartSleepList(list));
    ASSERT_TRUE(wait_until([] { return SoundPlayer.SleepFinished.load() != 0; }, 2.0));
    EXPECT_EQ(SoundPlayer.SleepCurrent.load(), nullptr);
    pause_for(0.3);
    leave();
    EXPECT_EQ(heard(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SleepPlaybackTest, OneSongLoopsWithoutReopeningWithTimedSleep) {
    Settings.TimedSleep = 1;
    make_songs(1, 0.2);
    unsigned opens = fsound_open_count();
    ASSERT_TRUE(StartSleepList(list));
    pause_for(0.9);
    EXPECT_EQ(fsound_open_count(), opens + 1) << "opened once, in the looping mode";
    EXPECT_EQ(SoundPlayer.SleepCurrent.load(), list);
    leave();
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_GT(parts[0].end - parts[0].start, 0.8);
}

TEST_F(SleepPlaybackTest, OneSongFinishesWithoutTimedSleep) {
    Settings.TimedSleep = 0;
    make_songs(1, 0.2);
    ASSERT_TRUE(StartSleepList(list));
    EXPECT_TRUE(wait_until([] { return SoundPlayer.SleepFinished.load() != 0; }, 1.0));
    leave();
}

TEST_F(SleepPlaybackTest, EveryOpenedSongSetsSongChanged) {
    Settings.TimedSleep = 1;
    make_songs(2, 0.2);
    ASSERT_TRUE(StartSleepList(list));
    EXPECT_STREQ(SoundPlayer.SongTitle, L"1.wav");
    SoundPlayer.SongChanged = 0;
    ASSERT_TRUE(wait_until([] { return SoundPlayer.SongChanged.load() != 0; }, 1.0));
    EXPECT_STREQ(SoundPlayer.SongTitle, L"2.wav");
    leave();
}

TEST_F(SleepPlaybackTest, NextOnTheLastAndPreviousOnTheFirstRestartTheSong) {
    Settings.TimedSleep = 1;
    make_songs(3, 5.0);
    ASSERT_TRUE(StartSleepList(list));
    unsigned opens = fsound_open_count();
    // Each song is heard for a moment before the next step.
    auto step = [](bool forward) {
        pause_for(0.15);
        StepSleepList(forward);
    };
    step(false);
    EXPECT_EQ(current(), 1);
    step(true);
    step(true);
    EXPECT_EQ(current(), 3);
    SoundPlayer.SongChanged = 0;
    step(true);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(SoundPlayer.SongChanged.load(), 1);
    step(false);
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(fsound_open_count(), opens + 5) << "every step opens its song anew";
    pause_for(0.15);
    leave();
    EXPECT_EQ(heard(), (std::vector<int>{1, 1, 2, 3, 3, 2}));
}

TEST_F(SleepPlaybackTest, PreviousAfterTheEndTakesTheLastSong) {
    Settings.TimedSleep = 0;
    make_songs(2, 0.15);
    ASSERT_TRUE(StartSleepList(list));
    ASSERT_TRUE(wait_until([] { return SoundPlayer.SleepFinished.load() != 0; }, 1.0));
    StepSleepList(true);
    EXPECT_EQ(current(), 0) << "Next with no current song does nothing";
    StepSleepList(false);
    EXPECT_EQ(current(), 2);
    leave();
}

TEST_F(SleepPlaybackTest, PauseHoldsTheSongWhereItWasAndResumesThere) {
    Settings.TimedSleep = 0;
    make_songs(2, 0.4);
    ASSERT_TRUE(StartSleepList(list));
    pause_for(0.2);
    PauseAll(true);
    pause_for(1.0);
    EXPECT_EQ(current(), 1) << "nothing advances while paused";
    PauseAll(false);
    ASSERT_TRUE(wait_until([] { return SoundPlayer.SleepFinished.load() != 0; }, 2.0));
    leave();
    auto runs = pitch_runs(capture(), 22050);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_GT(runs[1].start - runs[0].end, 0.9) << "the pause is silent";
    EXPECT_NEAR(runs[0].freq, 500, 40);
    EXPECT_NEAR(runs[1].freq, 500, 40);
    EXPECT_NEAR((runs[0].end - runs[0].start) + (runs[1].end - runs[1].start), 0.4, 0.05)
        << "the first song, in two halves";
    EXPECT_NEAR(runs[2].freq, 1000, 80);
}

TEST_F(SleepPlaybackTest, SongThatVanishedSaysUnableToPlay) {
    Settings.TimedSleep = 1;
    clock_freeze_utc(1700000000000LL);
    clock_set_virtual_sleep(true);
    list = new_song_node(L"\\Music\\gone.mp3");
    EXPECT_FALSE(StartSleepList(list));
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Error] Unable to play sound!"});
    EXPECT_EQ(clock_utc_ms() - 1700000000000LL, 6 * 500);
    EXPECT_EQ(SoundPlayer.SleepCurrent.load(), list) << "the song stays current";
}

}  // namespace

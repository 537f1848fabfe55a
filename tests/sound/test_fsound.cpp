// The sound library as the player relies on it: streams, channels, ends,
// pauses and what it does with files that are not sound.
#include <dirent.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"

namespace {

std::atomic<int> ends{0};
signed char count_end(FSOUND_STREAM *, void *, int, void *) {
    ends++;
    return TRUE;
}

int open_descriptors() {
    int n = 0;
    DIR *d = opendir("/proc/self/fd");
    while (readdir(d)) n++;
    closedir(d);
    return n;
}

class FsoundTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ends = 0;
        ASSERT_TRUE(FSOUND_Init(22050, 32, 0));
    }
    FSOUND_STREAM *open(const char *path, unsigned mode = 0x130) {
        FSOUND_STREAM *s = FSOUND_Stream_Open(path, mode, 0, 0);
        if (s) FSOUND_Stream_SetEndCallback(s, count_end, nullptr);
        return s;
    }
    void write_bytes(const wchar_t *device_path, const std::string &bytes) {
        std::ofstream(host_of(device_path), std::ios::binary) << bytes;
    }
};

TEST_F(FsoundTest, StreamsOpenOnlyWhileTheLibraryIsInitialised) {
    make_tone(L"\\s\\a.wav", 0.1, 500);
    FSOUND_Close();
    EXPECT_EQ(open("\\s\\a.wav"), nullptr);
    ASSERT_TRUE(FSOUND_Init(22050, 32, 0));
    EXPECT_NE(open("\\s\\a.wav"), nullptr);
    EXPECT_EQ(open("s/a.wav"), nullptr) << "not a device path";
    EXPECT_EQ(open(""), nullptr);
}

TEST_F(FsoundTest, CloseSaysClosedForAStreamAlreadyClosedAndNoForNothing) {
    make_tone(L"\\s\\a.wav", 0.1, 500);
    FSOUND_STREAM *s = open("\\s\\a.wav");
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_FALSE(FSOUND_Stream_Close(nullptr));
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, s), -1) << "a closed handle plays nothing";
}

TEST_F(FsoundTest, FilesThatAreNotSoundDoNotOpenAndLeakNothing) {
    std::string noise(20000, '\0');
    for (size_t i = 0; i < noise.size(); i++) noise[i] = char((i * 2654435761u) >> 13);
    write_bytes(L"\\s\\empty.mp3", "");
    write_bytes(L"\\s\\noise.mp3", noise);
    write_bytes(L"\\s\\noise.ogg", noise);
    write_bytes(L"\\s\\noise.wav", noise);
    write_bytes(L"\\s\\text.wav", "This is not a sound file.\n");
    make_tone(L"\\s\\full.wav", 0.2, 500);
    std::ifstream in(host_of(L"\\s\\full.wav"), std::ios::binary);
    std::string wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    write_bytes(L"\\s\\header.wav", wav.substr(0, 44));
    ASSERT_TRUE(write_tones(host_of(L"\\s\\song.ogg"), {{0.5, 500}}, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    std::ifstream ogg_in(host_of(L"\\s\\song.ogg"), std::ios::binary);
    std::string ogg((std::istreambuf_iterator<char>(ogg_in)), std::istreambuf_iterator<char>());
    write_bytes(L"\\s\\cut.ogg", ogg.substr(0, 60));
    mkdir(host_of(L"\\s\\folder.wav").c_str(), 0755);
    ASSERT_EQ(mkfifo(host_of(L"\\s\\pipe.mp3").c_str(), 0644), 0);

    int before = open_descriptors();
    for (const char *path : {"\\s\\empty.mp3", "\\s\\noise.mp3", "\\s\\noise.ogg", "\\s\\noise.wav", "\\s\\text.wav",
                             "\\s\\header.wav", "\\s\\cut.ogg", "\\s\\folder.wav", "\\s\\pipe.mp3", "\\s\\none.wav"})
        EXPECT_EQ(open(path), nullptr) << path;
    EXPECT_EQ(open_descriptors(), before);
}

TEST_F(FsoundTest, TruncatedWavPlaysWhatItHolds) {
    make_tone(L"\\s\\full.wav", 0.5, 500);
    std::string host = host_of(L"\\s\\full.wav");
    ASSERT_EQ(truncate(host.c_str(), 44 + 2 * 2205), 0);  // 0.1 s of samples left
    FSOUND_STREAM *s = open("\\s\\full.wav");
    ASSERT_NE(s, nullptr);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
    EXPECT_TRUE(wait_until([] { return ends.load() == 1; }, 1.0));
    FSOUND_Close();
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_NEAR(parts[0].end - parts[0].start, 0.1, 0.015);
}

TEST_F(FsoundTest, OggAndMp3AtOtherRatesPlayAtTheirPitchAndLength) {
    ASSERT_TRUE(write_tones(host_of(L"\\s\\a.ogg"), {{0.4, 1000}}, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    ASSERT_TRUE(write_tones(host_of(L"\\s\\b.mp3"), {{0.4, 2000}}, 48000, 2, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
    FSOUND_STREAM *a = open("\\s\\a.ogg"), *b = open("\\s\\b.mp3");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, a), 0);
    ASSERT_TRUE(wait_until([] { return ends.load() == 1; }, 2.0));
    pause_for(0.2);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, b), 0);
    ASSERT_TRUE(wait_until([] { return ends.load() == 2; }, 2.0));
    FSOUND_Close();
    auto runs = pitch_runs(capture(), 22050);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].freq, 1000, 50);
    EXPECT_NEAR(runs[1].freq, 2000, 100);
    // MP3 adds the encoder's padding at the start; the length stays near.
    EXPECT_NEAR(runs[0].end - runs[0].start, 0.4, 0.05);
    EXPECT_NEAR(runs[1].end - runs[1].start, 0.4, 0.06);
}

TEST_F(FsoundTest, PlayStartsFromTheBeginningAndStopSilences) {
    make_tone(L"\\s\\a.wav", 0.6, 500);
    FSOUND_STREAM *s = open("\\s\\a.wav");
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
    pause_for(0.3);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);  // from the start again
    EXPECT_TRUE(wait_until([] { return ends.load() == 1; }, 2.0));
    pause_for(0.1);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
    pause_for(0.2);
    EXPECT_TRUE(FSOUND_Stream_Stop(s));
    pause_for(0.7);
    EXPECT_EQ(ends.load(), 1) << "a stop is not an end";
    FSOUND_Close();
    auto parts = sound_stretches(capture(), 22050, 0.03);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_NEAR(parts[0].end - parts[0].start, 0.9, 0.05);
    EXPECT_NEAR(parts[1].end - parts[1].start, 0.2, 0.05);
}

TEST_F(FsoundTest, LoopingStreamReportsEachRoundAndPlaysOn) {
    make_tone(L"\\s\\a.wav", 0.2, 500);
    FSOUND_STREAM *s = open("\\s\\a.wav", 0x132);
    int channel = FSOUND_Stream_Play(FSOUND_FREE, s);
    ASSERT_TRUE(wait_until([] { return ends.load() >= 1; }, 1.0));
    // Played again when the end is reported: it goes on, not back.
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, s), channel);
    ASSERT_TRUE(wait_until([] { return ends.load() >= 3; }, 1.0));
    FSOUND_Close();
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 1u) << "no gap at the loop";
    EXPECT_GT(parts[0].end - parts[0].start, 0.6);
}

TEST_F(FsoundTest, PausedStreamsHoldTheirPlaceAndTheirEnds) {
    ASSERT_TRUE(write_tones(host_of(L"\\s\\two.wav"), {{0.3, 500}, {0.3, 1000}}, 22050, 1,
                            SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    FSOUND_STREAM *s = open("\\s\\two.wav");
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
    pause_for(0.15);
    EXPECT_TRUE(FSOUND_SetPaused(FSOUND_ALL, 1));
    pause_for(0.8);
    EXPECT_EQ(ends.load(), 0) << "no end while paused";
    EXPECT_TRUE(FSOUND_SetPaused(FSOUND_ALL, 0));
    EXPECT_TRUE(wait_until([] { return ends.load() == 1; }, 1.0));
    FSOUND_Close();
    auto parts = sound_stretches(capture(), 22050);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_GT(parts[1].start - parts[0].end, 0.7);
    EXPECT_NEAR((parts[0].end - parts[0].start) + (parts[1].end - parts[1].start), 0.6, 0.03);
    auto runs = pitch_runs(capture(), 22050);
    ASSERT_EQ(runs.size(), 3u) << "the first tone resumes where it was, then the second";
    EXPECT_NEAR(runs[1].freq, 500, 50);
    EXPECT_NEAR(runs[2].freq, 1000, 100);
}

TEST_F(FsoundTest, StreamStartedDuringAPausePlays) {
    make_tone(L"\\s\\a.wav", 0.2, 500);
    make_tone(L"\\s\\b.wav", 0.2, 900);
    FSOUND_STREAM *a = open("\\s\\a.wav"), *b = open("\\s\\b.wav");
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, a), 0);
    FSOUND_SetPaused(FSOUND_ALL, 1);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, b), 0);  // an alarm during paused sleep music
    EXPECT_TRUE(wait_until([] { return ends.load() == 1; }, 1.0));
    EXPECT_EQ(ends.load(), 1);
}

TEST_F(FsoundTest, FullChannelsRefuseAnotherStream) {
    FSOUND_Close();
    ASSERT_TRUE(FSOUND_Init(22050, 2, 0));
    make_tone(L"\\s\\a.wav", 1.0, 500);
    FSOUND_STREAM *a = open("\\s\\a.wav"), *b = open("\\s\\a.wav"), *c = open("\\s\\a.wav");
    EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, a), 0);
    EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, b), 0);
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, c), -1);
    FSOUND_Stream_Stop(a);
    EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, c), 0);
}

// After a quiet spell the mixer sleeps; the next sound must still take its
// real time, not rush to catch up with the silence.
TEST_F(FsoundTest, NullOutputKeepsRealTimeAfterAQuietSpell) {
    FSOUND_Close();
    setenv("VELMORA_AUDIO", "null", 1);
    ASSERT_TRUE(FSOUND_Init(22050, 32, 0));
    make_tone(L"\\s\\a.wav", 0.3, 500);
    FSOUND_STREAM *s = open("\\s\\a.wav");
    for (int round = 1; round <= 2; round++) {
        auto start = std::chrono::steady_clock::now();
        ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, s), 0);
        ASSERT_TRUE(wait_until([round] { return ends.load() == round; }, 2.0));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(270)) << "round " << round;
        pause_for(0.5);
    }
}

// SDL's dummy driver stands for a sound card; a driver that is not there
// for a machine without one, where the library carries on silently.
TEST_F(FsoundTest, SoundDeviceOrNothingWhenThereIsNone) {
    make_tone(L"\\s\\a.wav", 0.3, 500);
    for (const char *driver : {"dummy", "no-such-driver"}) {
        FSOUND_Close();
        setenv("VELMORA_AUDIO", "sdl", 1);
        setenv("SDL_AUDIODRIVER", driver, 1);
        ASSERT_TRUE(FSOUND_Init(22050, 32, 0)) << driver;
        ends = 0;
        auto start = std::chrono::steady_clock::now();
        ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, open("\\s\\a.wav")), 0) << driver;
        EXPECT_TRUE(wait_until([] { return ends.load() == 1; }, 2.0)) << driver;
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200)) << "at real-time pace";
    }
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace

// Song information from the tags of real files made here: MP3 files with
// ID3v2 frames in each text encoding, Ogg Vorbis comments, untagged WAV.
#include <sndfile.h>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"

namespace {

std::string latin(const std::string &text) { return std::string(1, '\0') + text; }

std::string utf16le_bom(const std::u16string &text) {
    std::string out = "\x01\xFF\xFE";
    for (char16_t c : text) out += char(c & 0xFF), out += char(c >> 8);
    return out;
}

std::string utf16be_bom(const std::u16string &text) {
    std::string out = "\x01\xFE\xFF";
    for (char16_t c : text) out += char(c >> 8), out += char(c & 0xFF);
    return out;
}

class SongInfoTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSoundLibrary());
    }
    // Opens the song as the sleep channel does and reads its tags.
    void read(const wchar_t *path) {
        char multibyte[MAX_PATH * 4];
        WideCharToMultiByte(CP_ACP, 0, path, -1, multibyte, sizeof multibyte, nullptr, nullptr);
        FSOUND_STREAM *s = FSOUND_Stream_Open(multibyte, 0x130, 0, 0);
        ASSERT_NE(s, nullptr);
        SoundPlayer.SongChanged = 0;
        ReadSongInfo(s, path);
        EXPECT_EQ(SoundPlayer.SongChanged.load(), 1);
        FSOUND_Stream_Close(s);
    }
    void mp3(const wchar_t *path, const std::vector<Id3Frame> &frames, int version = 3) {
        ASSERT_TRUE(write_tagged_mp3(host_of(path), id3v2_tag(frames, version)));
    }
    std::wstring title() { return SoundPlayer.SongTitle; }
    std::wstring artist() { return SoundPlayer.SongArtist; }
    std::wstring album() { return SoundPlayer.SongAlbum; }
};

TEST_F(SongInfoTest, UntaggedFileShowsItsNameAndAnUnknownArtist) {
    make_tone(L"\\Music\\rain.wav", 0.2, 500);
    read(L"\\Music\\rain.wav");
    EXPECT_EQ(title(), L"rain.wav");
    EXPECT_EQ(artist(), L"<Artist Unknown>");
    EXPECT_EQ(album(), L"");
}

TEST_F(SongInfoTest, Id3v2FramesInSingleByteText) {
    mp3(L"\\Music\\a.mp3", {{"TIT2", latin("Night Train")}, {"TPE1", latin("The Band")}, {"TALB", latin("Rails")}});
    read(L"\\Music\\a.mp3");
    EXPECT_EQ(title(), L"Night Train");
    EXPECT_EQ(artist(), L"The Band");
    EXPECT_EQ(album(), L"Rails");
}

TEST_F(SongInfoTest, SingleByteTextThatIsNotUtf8IsLatin1) {
    mp3(L"\\Music\\a.mp3", {{"TIT2", latin("Caf\xE9 au lait")}, {"TPE1", latin("Bj\xC3\xB6rk")}});
    read(L"\\Music\\a.mp3");
    EXPECT_EQ(title(), L"Caf\u00E9 au lait");
    EXPECT_EQ(artist(), L"Bj\u00F6rk");
}

TEST_F(SongInfoTest, Utf16FramesInEitherByteOrder) {
    mp3(L"\\Music\\a.mp3", {{"TIT2", utf16le_bom(u"\u00C9t\u00E9 \U0001F3B5")}, {"TPE1", utf16be_bom(u"\u0416\u0438\u0432")}});
    read(L"\\Music\\a.mp3");
    EXPECT_EQ(title(), L"\u00C9t\u00E9 \U0001F3B5");
    EXPECT_EQ(artist(), L"\u0416\u0438\u0432");
    EXPECT_EQ(album(), L"");
}

TEST_F(SongInfoTest, Utf8TitleFrameCountsAsMissing) {
    mp3(L"\\Music\\tune.mp3", {{"TIT2", std::string("\x03") + "Sch\xC3\xB6n"}, {"TPE1", latin("Someone")}}, 4);
    read(L"\\Music\\tune.mp3");
    EXPECT_EQ(title(), L"tune.mp3");
    EXPECT_EQ(artist(), L"Someone");
}

TEST_F(SongInfoTest, EmptyTitleIsNotFoundAndLongTitleIsCut) {
    mp3(L"\\Music\\empty.mp3", {{"TIT2", latin("")}});
    read(L"\\Music\\empty.mp3");
    EXPECT_EQ(title(), L"empty.mp3");

    mp3(L"\\Music\\long.mp3", {{"TIT2", latin(std::string(300, 'x'))}, {"TPE1", utf16le_bom(std::u16string(300, u'y'))}});
    read(L"\\Music\\long.mp3");
    EXPECT_EQ(title(), std::wstring(254, L'x'));
    EXPECT_EQ(artist(), std::wstring(254, L'y'));
}

TEST_F(SongInfoTest, OggCommentsWithoutAlbum) {
    ASSERT_TRUE(write_tones(host_of(L"\\Music\\a.ogg"), {{0.3, 500}}, 44100, 2, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                            "Morning", "Quartet"));
    read(L"\\Music\\a.ogg");
    EXPECT_EQ(title(), L"Morning");
    EXPECT_EQ(artist(), L"Quartet");
    EXPECT_EQ(album(), L"");
}

TEST_F(SongInfoTest, EveryOpeningReplacesTheLastSongsText) {
    mp3(L"\\Music\\a.mp3", {{"TIT2", latin("One")}, {"TPE1", latin("A")}, {"TALB", latin("X")}});
    make_tone(L"\\Music\\b.wav", 0.2, 500);
    read(L"\\Music\\a.mp3");
    read(L"\\Music\\b.wav");
    EXPECT_EQ(title(), L"b.wav");
    EXPECT_EQ(artist(), L"<Artist Unknown>");
    EXPECT_EQ(album(), L"");
}

}  // namespace

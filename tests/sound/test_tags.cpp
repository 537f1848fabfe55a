// The tag fields the library reports, and that no size written in a file
// makes it take more than 4 MB at once.
#include <sndfile.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>

#include <gtest/gtest.h>

#include "platform/audio/tags.h"
#include "tests/sound/sound_fixture.h"

// Every allocation of this program goes through here, TagLib's included.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<size_t> largest_allocation{0};
}  // namespace

void *operator new(size_t size) {
    size_t seen = largest_allocation.load();
    while (size > seen && !largest_allocation.compare_exchange_weak(seen, size)) {
    }
    if (void *p = malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept { free(p); }
void operator delete(void *p, size_t) noexcept { free(p); }

namespace {

class TagsTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(FSOUND_Init(22050, 32, 0));
    }
    struct Field {
        int type;
        std::string name;
        std::string value;
    };
    std::vector<Field> fields(const char *path) {
        FSOUND_STREAM *s = FSOUND_Stream_Open(path, 0x130, 0, 0);
        EXPECT_NE(s, nullptr) << path;
        int count = -1;
        EXPECT_TRUE(FSOUND_Stream_GetNumTagFields(s, &count));
        std::vector<Field> out;
        for (int i = 0; i < count; i++) {
            int type = -1, length = -1;
            char *name = nullptr;
            void *value = nullptr;
            EXPECT_TRUE(FSOUND_Stream_GetTagField(s, i, &type, &name, &value, &length));
            // The value is followed by zero bytes, so text ends in any encoding.
            EXPECT_EQ(memcmp(static_cast<char *>(value) + length, "\0\0\0\0", 4), 0);
            out.push_back({type, name, std::string(static_cast<char *>(value), size_t(length))});
        }
        EXPECT_FALSE(FSOUND_Stream_GetTagField(s, count, nullptr, nullptr, nullptr, nullptr));
        FSOUND_Stream_Close(s);
        return out;
    }
};

TEST_F(TagsTest, Id3v2FramesComeWithTheirRawData) {
    std::string tag = id3v2_tag({{"TIT2", std::string("\0Title", 6)},
                                 {"TPE1", std::string("\x01\xFF\xFEH\0i\0", 7)},
                                 {"TALB", std::string("\x03\xC3\xA9t\xC3\xA9", 6)}},
                                4);
    ASSERT_TRUE(write_tagged_mp3(host_of(L"\\m\\a.mp3"), tag));
    auto f = fields("\\m\\a.mp3");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].type, FSOUND_TAGFIELD_ID3V2);
    EXPECT_EQ(f[0].name, "TIT2");
    EXPECT_EQ(f[0].value, std::string("\0Title", 6));
    EXPECT_EQ(f[1].value, std::string("\x01\xFF\xFEH\0i\0", 7));
    EXPECT_EQ(f[2].value, std::string("\x03\xC3\xA9t\xC3\xA9", 6));
}

TEST_F(TagsTest, VorbisCommentsAreText) {
    ASSERT_TRUE(write_tones(host_of(L"\\m\\a.ogg"), {{0.2, 500}}, 22050, 1, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                            "Sch\xC3\xB6n", "Duo"));
    bool title = false, artist = false;
    for (auto &f : fields("\\m\\a.ogg")) {
        EXPECT_EQ(f.type, FSOUND_TAGFIELD_VORBISCOMMENT);
        if (f.name == "TITLE") title = f.value == "Sch\xC3\xB6n";
        if (f.name == "ARTIST") artist = f.value == "Duo";
    }
    EXPECT_TRUE(title);
    EXPECT_TRUE(artist);
}

TEST_F(TagsTest, UntaggedFileHasNoFields) {
    make_tone(L"\\m\\a.wav", 0.2, 500);
    EXPECT_TRUE(fields("\\m\\a.wav").empty());
}

TEST_F(TagsTest, TagClaimingHugeSizeReadsNoMoreThanTheLimit) {
    // A tag header that claims 256 MB, in a file of 12 MB.
    std::string path = host_of(L"\\m\\huge.mp3");
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) << "TIT2" << std::string("\x7F\xFF\xFF\xF0\0\0", 6);
    }
    ASSERT_EQ(truncate(path.c_str(), 12 << 20), 0);
    largest_allocation = 0;
    auto fields = audio::read_tags_file(path.c_str());
    EXPECT_LE(largest_allocation.load(), audio::TAG_READ_LIMIT + 65536);
    EXPECT_LT(fields.size(), 2u);
}

TEST_F(TagsTest, KindComesFromTheContentBeforeTheName) {
    const unsigned char ogg[] = "OggS\0\2", id3[] = "ID3\3", riff[] = "RIFF\0\0\0\0WAVE", other[] = "xxxx";
    EXPECT_EQ(audio::tag_file_kind(ogg, 6, "a.mp3"), audio::TAG_FILE_OGG);
    EXPECT_EQ(audio::tag_file_kind(id3, 4, "a.ogg"), audio::TAG_FILE_MPEG);
    EXPECT_EQ(audio::tag_file_kind(riff, 12, "a.mp3"), audio::TAG_FILE_WAV);
    EXPECT_EQ(audio::tag_file_kind(other, 4, "a.MP3"), audio::TAG_FILE_MPEG);
    EXPECT_EQ(audio::tag_file_kind(other, 4, "a.txt"), audio::TAG_FILE_UNKNOWN);
}

}  // namespace

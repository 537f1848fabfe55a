// The phone's file calls over the device's files.
#include <sys/stat.h>

#include <fstream>

#include <gtest/gtest.h>

#include "platform/phone.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/registry_values.h"

namespace {

class FilesTest : public SoundTest {
protected:
    void write(const wchar_t *device_path, const std::string &text) { std::ofstream(host_of(device_path)) << text; }
    std::vector<std::wstring> find(const wchar_t *pattern) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(pattern, &data);
        if (h == INVALID_HANDLE_VALUE) return names;
        do names.push_back(data.cFileName);
        while (FindNextFileW(h, &data));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(h));
        EXPECT_FALSE(FindClose(h));
        return names;
    }
};

TEST_F(FilesTest, SearchListsMatchesInNameOrderWithoutDotEntries) {
    write(L"\\d\\b.MP3", "12345");
    write(L"\\d\\a.mp3", "");
    write(L"\\d\\c.wav", "");
    write(L"\\d\\noext", "");
    mkdir(host_of(L"\\d\\sub\\x").c_str(), 0755);
    EXPECT_EQ(find(L"\\d\\*.*"), (std::vector<std::wstring>{L"a.mp3", L"b.MP3", L"c.wav", L"noext", L"sub"}));
    EXPECT_EQ(find(L"\\d\\*.mp3"), (std::vector<std::wstring>{L"a.mp3", L"b.MP3"}));
    EXPECT_EQ(find(L"\\d\\?.wav"), (std::vector<std::wstring>{L"c.wav"}));
    EXPECT_TRUE(find(L"\\d\\*.ogg").empty());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(find(L"\\none\\*.*").empty());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(L"\\d\\b.mp3", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(h);
}

// A host name in another encoding (here Latin-1) is listed with one stand-in
// character per byte that is not UTF-8, and that name reaches the very file
// again: for its attributes, for the sound library, through the registry.
TEST_F(FilesTest, NamesThatAreNotUtf8AreListedAndPlayedAsTheyAre) {
    make_tone(L"\\d\\x.wav", 0.2, 440);
    std::string host = host_of(L"\\d\\x.wav");
    std::string odd = host.substr(0, host.size() - 5) + "/caf\xe9\xff.wav";
    ASSERT_EQ(rename(host.c_str(), odd.c_str()), 0);
    auto names = find(L"\\d\\*.wav");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::wstring(L"caf\xDCE9\xDCFF.wav"));
    std::wstring path = L"\\d\\" + names[0];
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    char narrow[MAX_PATH * 4];
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr), 0);
    ASSERT_TRUE(FSOUND_Init(22050, 32, 0));
    FSOUND_STREAM *stream = FSOUND_Stream_Open(narrow, 0x130, 0, 0);
    EXPECT_NE(stream, nullptr);
    if (stream) FSOUND_Stream_Close(stream);
    FSOUND_Close();
    put_text(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AlarmSound", path);
    std::wstring stored;
    ASSERT_TRUE(get_text(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AlarmSound", &stored));
    EXPECT_EQ(stored, path);
}

TEST(HostText, BytesThatAreNotUtf8SurviveTheWayToWideTextAndBack) {
    // A lone lead byte, an encoded surrogate, beyond U+10FFFF, an overlong
    // slash, a cut sequence at the end, and good text around them.
    for (std::string bytes : {"\xc3",
                              "a\xed\xa0\x80"
                              "b",
                              "\xf4\x90\x80\x80", "\xc0\xaf", "\xe2\x8f", "\xe2\x8f\xb0ok\x80"}) {
        std::wstring wide = plat::from_utf8(bytes.c_str());
        EXPECT_EQ(plat::to_utf8(wide.c_str()), bytes);
        EXPECT_FALSE(plat::is_utf8(bytes.c_str(), bytes.size()));
        std::string units = plat::to_utf16le(wide.c_str(), wide.size());
        EXPECT_EQ(plat::from_utf16le(reinterpret_cast<const unsigned char *>(units.data()), units.size()), wide);
    }
    EXPECT_EQ(plat::from_utf8("\xe2\x8f\xb0"), std::wstring(L"\u23f0"));
    EXPECT_TRUE(plat::is_utf8("\xef\xbf\xbd", 3));  // U+FFFD itself is good text
}

TEST_F(FilesTest, AttributesOfFilesFoldersAndNothing) {
    write(L"\\d\\a.mp3", "");
    EXPECT_TRUE(GetFileAttributesW(L"\\d") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(GetFileAttributesW(L"\\d\\a.mp3") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(L"\\d\\b.mp3"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"d\\a.mp3"), INVALID_FILE_ATTRIBUTES) << "not a device path";
    EXPECT_EQ(GetFileAttributesW(L"\\d\\..\\..\\etc"), INVALID_FILE_ATTRIBUTES) << "never out of the device";
}

TEST_F(FilesTest, FilesOpenForReadingOnly) {
    write(L"\\d\\a.txt", "hello");
    HANDLE f = CreateFileW(L"\\d\\a.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    char buffer[16];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(f, buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "hel");
    ASSERT_TRUE(ReadFile(f, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "lo");
    ASSERT_TRUE(ReadFile(f, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(got, 0u) << "the end";
    EXPECT_TRUE(CloseHandle(f));
    EXPECT_FALSE(CloseHandle(f));
    EXPECT_FALSE(ReadFile(f, buffer, 1, &got, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    EXPECT_EQ(CreateFileW(L"\\d\\a.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(L"\\d\\b.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CreateFileW(L"\\d", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    ASSERT_EQ(mkfifo(host_of(L"\\d\\pipe.asx").c_str(), 0644), 0);
    EXPECT_EQ(CreateFileW(L"\\d\\pipe.asx", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE)
        << "a pipe would hold the reader";
}

}  // namespace

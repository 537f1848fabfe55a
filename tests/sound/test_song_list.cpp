// Song lists: the file-name rules, the folder walk and the ASX reader.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "store/settings.h"
#include "tests/sound/sound_fixture.h"

namespace {

class SongListTest : public SoundTest {
protected:
    void touch(const wchar_t *device_path) { std::ofstream(host_of(device_path)) << "x"; }
    void playlist(const wchar_t *device_path, const std::string &text) { std::ofstream(host_of(device_path)) << text; }
    void link(const wchar_t *device_path, const std::string &target) {
        ASSERT_EQ(symlink(target.c_str(), host_of(device_path).c_str()), 0);
    }
    // The list's paths; the list is freed.
    static std::vector<std::wstring> paths(SongNode *list) {
        std::vector<std::wstring> out;
        for (SongNode *n = list; n; n = n->Next) {
            EXPECT_EQ(n->OnCard, 0);
            out.push_back(n->Path);
        }
        FreeSongList(list);
        return out;
    }
    static std::string entry(const std::string &ref) { return "<ENTRY><REF HREF=\"" + ref + "\"/></ENTRY>\n"; }
};

TEST_F(SongListTest, MusicAndPlaylistNames) {
    EXPECT_TRUE(IsMusicFile(L"song.MP3"));
    EXPECT_TRUE(IsMusicFile(L"x.Wav"));
    EXPECT_TRUE(IsMusicFile(L"a.ogg"));
    EXPECT_FALSE(IsMusicFile(L".wav"));
    EXPECT_FALSE(IsMusicFile(L"notes.txt"));
    EXPECT_FALSE(IsMusicFile(L"song.wma"));
    EXPECT_TRUE(IsPlaylistFile(L"list.ASX"));
    EXPECT_FALSE(IsPlaylistFile(L".asx"));
}

TEST_F(SongListTest, FileNameOfKeepsALeadingBackslash) {
    WCHAR out[MAX_PATH];
    FileNameOf(L"\\My Documents\\x.mp3", out);
    EXPECT_STREQ(out, L"x.mp3");
    FileNameOf(L"x.mp3", out);
    EXPECT_STREQ(out, L"x.mp3");
    FileNameOf(L"\\x.mp3", out);
    EXPECT_STREQ(out, L"\\x.mp3");
    FileNameOf(L"", out);
    EXPECT_STREQ(out, L"");
    FileNameOf(L"\\", out);
    EXPECT_STREQ(out, L"\\");
}

TEST_F(SongListTest, InsertionOrdersByNameAndKeepsEqualNamesInArrivalOrder) {
    SongNode *list = nullptr;
    for (const wchar_t *p : {L"\\b\\b.mp3", L"\\a\\a.ogg", L"\\c\\A.wav", L"\\d\\a.ogg", L"\\e\\\U0001F600.mp3",
                             L"\\f\\\uFF21.mp3"})
        list = InsertByFileName(list, new_song_node(p));
    // Code units: 'A' < 'a' < 'b', and a character beyond U+FFFF (two
    // surrogate units from U+D800) before U+FF21.
    EXPECT_EQ(paths(list), (std::vector<std::wstring>{L"\\c\\A.wav", L"\\a\\a.ogg", L"\\d\\a.ogg", L"\\b\\b.mp3",
                                                      L"\\e\\\U0001F600.mp3", L"\\f\\\uFF21.mp3"}));
}

TEST_F(SongListTest, SortingGivesTheOrderOfInsertingOneByOne) {
    SongNode *inserted = nullptr, *appended = nullptr;
    for (int i = 0; i < 500; i++) {
        WCHAR path[MAX_PATH];
        swprintf(path, MAX_PATH, L"\\f%d\\%c%d.mp3", i, L'a' + (i * 7) % 5, (i * 13) % 11);
        inserted = InsertByFileName(inserted, new_song_node(path));
        appended = AppendNode(appended, new_song_node(path));
    }
    EXPECT_EQ(paths(sort_by_file_name(appended)), paths(inserted));
}

TEST_F(SongListTest, FolderGivesItsMusicByNameAcrossSubfolders) {
    touch(L"\\My Documents\\Music\\b.mp3");
    touch(L"\\My Documents\\Music\\A.wav");
    touch(L"\\My Documents\\Music\\notes.txt");
    touch(L"\\My Documents\\Music\\sub\\a.ogg");
    touch(L"\\My Documents\\Music\\sub\\deeper\\0.mp3");
    EXPECT_EQ(paths(ReadFolder(L"\\My Documents\\Music")),
              (std::vector<std::wstring>{L"\\My Documents\\Music\\sub\\deeper\\0.mp3", L"\\My Documents\\Music\\A.wav",
                                         L"\\My Documents\\Music\\sub\\a.ogg", L"\\My Documents\\Music\\b.mp3"}));
    EXPECT_EQ(ReadFolder(L"\\My Documents\\None"), nullptr);
}

TEST_F(SongListTest, FolderQueueGrowsPastItsFirstRoom) {
    for (int i = 0; i < 250; i++) {
        WCHAR path[MAX_PATH];
        swprintf(path, MAX_PATH, L"\\Music\\%03d\\s%03d.mp3", i, 249 - i);
        touch(path);
    }
    auto found = paths(ReadFolder(L"\\Music"));
    ASSERT_EQ(found.size(), 250u);
    EXPECT_EQ(found.front(), L"\\Music\\249\\s000.mp3");
    EXPECT_EQ(found.back(), L"\\Music\\000\\s249.mp3");
}

TEST_F(SongListTest, FolderWalkFollowsNoLinkBackIntoItselfOrAbove) {
    touch(L"\\Music\\a.mp3");
    touch(L"\\Music\\sub\\b.mp3");
    touch(L"\\Other\\c.mp3");
    link(L"\\Music\\sub\\loop", "..");              // back to the root
    link(L"\\Music\\sub\\again", ".");              // to itself
    link(L"\\Music\\up", root);                     // above the root
    link(L"\\Music\\other", root + "/Other");       // elsewhere: followed
    EXPECT_EQ(paths(ReadFolder(L"\\Music")),
              (std::vector<std::wstring>{L"\\Music\\a.mp3", L"\\Music\\sub\\b.mp3", L"\\Music\\other\\c.mp3"}));
}

TEST_F(SongListTest, PathsTooLongAreSkippedNotCut) {
    std::wstring deep = L"\\Music\\" + std::wstring(120, L'd') + L"\\" + std::wstring(120, L'e');
    touch((deep + L"\\short.mp3").c_str());                       // 259 characters: kept
    touch((deep + L"\\much_longer_name.mp3").c_str());            // 270: skipped
    auto found = paths(ReadFolder(L"\\Music"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], deep + L"\\short.mp3");
}

TEST_F(SongListTest, PlaylistEntriesInFileOrder) {
    touch(L"\\Storage Card\\b.mp3");
    touch(L"\\Storage Card\\a.mp3");
    playlist(L"\\p.asx", "<ASX version=\"3.0\">\r\n" + entry("\\Storage Card\\b.mp3") +
                             entry("\\Storage Card\\a.mp3") + "</ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")),
              (std::vector<std::wstring>{L"\\Storage Card\\b.mp3", L"\\Storage Card\\a.mp3"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SongListTest, OnlyTheFirstReferenceOfAnEntryCounts) {
    touch(L"\\Storage Card\\a.mp3");
    touch(L"\\Storage Card\\b.mp3");
    playlist(L"\\p.asx", "<ASX><ENTRY><REF HREF=\"\\Storage Card\\a.mp3\"/>\n<REF HREF=\"\\Storage Card\\b.mp3\"/>"
                         "</ENTRY></ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")), (std::vector<std::wstring>{L"\\Storage Card\\a.mp3"}));
}

TEST_F(SongListTest, LowerCaseTagsAreNotAPlaylist) {
    touch(L"\\a.mp3");
    playlist(L"\\p.asx", "<asx><entry><ref href=\"\\a.mp3\"/></entry></asx>");
    EXPECT_EQ(ReadPlaylist(L"\\p.asx"), nullptr);
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] This does not appear to be a valid playlist file"});
}

TEST_F(SongListTest, SingleQuotesHrefSpellingAndRelativePaths) {
    touch(L"\\a.mp3");
    touch(L"\\b.mp3");
    playlist(L"\\p.asx", "<ASX><ENTRY><ref href='\\a.mp3'/></ENTRY><ENTRY><REF Href=\"\\a.mp3\"/></ENTRY>"
                         "<ENTRY><ref href=\"a.mp3\"/></ENTRY><ENTRY><Ref href=\"\\b.mp3\"/></ENTRY>"
                         "<ENTRY><ref href=\"\\b.mp3\"/></ENTRY></ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")), (std::vector<std::wstring>{L"\\b.mp3"}));
    // The relative path is the one reported missing.
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] Not all music in the playlist could be found"});
}

TEST_F(SongListTest, MissingWinsOverUnsupported) {
    touch(L"\\a.mp3");
    touch(L"\\c.wma");
    playlist(L"\\p.asx", "<ASX>" + entry("\\a.mp3") + entry("\\gone.mp3") + entry("\\c.wma") + "</ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")), (std::vector<std::wstring>{L"\\a.mp3"}));
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] Not all music in the playlist could be found"});
}

TEST_F(SongListTest, UnsupportedAloneIsSaidSo) {
    touch(L"\\a.mp3");
    touch(L"\\c.wma");
    playlist(L"\\p.asx", "<ASX>" + entry("\\a.mp3") + entry("\\c.wma") + "</ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")).size(), 1u);
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] Not all music in the playlist is supported by Velmora"});
}

TEST_F(SongListTest, AllEntriesMissingGivesNothingAndSaysNothing) {
    playlist(L"\\p.asx", "<ASX>" + entry("\\x.mp3") + entry("\\y.mp3") + "</ASX>");
    EXPECT_EQ(ReadPlaylist(L"\\p.asx"), nullptr);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SongListTest, PlaylistThatCannotBeOpened) {
    EXPECT_EQ(ReadPlaylist(L"\\none.asx"), nullptr);
    EXPECT_EQ(boxes(), std::vector<std::string>{"[Velmora] Unable to open playlist"});
}

TEST_F(SongListTest, OverlongSegmentsAndUtf8AndLatin1Paths) {
    touch(L"\\Caf\u00E9.mp3");
    touch(L"\\\u00DCber.mp3");
    // A segment longer than 519 bytes loses its tail; the entry before it
    // still counts.
    playlist(L"\\p.asx", "<ASX>" + entry("\\Caf\xC3\xA9.mp3") + "<ENTRY>" + std::string(600, ' ') +
                             "<REF HREF=\"\\x.mp3\"/></ENTRY>" + entry("\\\xDC" "ber.mp3") + "</ASX>");
    EXPECT_EQ(paths(ReadPlaylist(L"\\p.asx")), (std::vector<std::wstring>{L"\\Caf\u00E9.mp3", L"\\\u00DCber.mp3"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SongListTest, BinaryNoiseAndAHugeFileEndCleanly) {
    std::string noise(1 << 20, '\0');
    for (size_t i = 0; i < noise.size(); i++) noise[i] = char((i * 2654435761u) >> 11);
    playlist(L"\\noise.asx", noise);
    EXPECT_EQ(ReadPlaylist(L"\\noise.asx"), nullptr);
    std::string huge = host_of(L"\\huge.asx");
    std::ofstream(huge) << "<ASX>";
    ASSERT_EQ(truncate(huge.c_str(), 100 << 20), 0);  // 100 MB, zeros after the tag
    EXPECT_EQ(ReadPlaylist(L"\\huge.asx"), nullptr);
    EXPECT_EQ(boxes().size(), 1u) << "noise is not a playlist; the huge one is, without entries";
}

TEST_F(SongListTest, SleepListOfEachKind) {
    touch(L"\\Music\\a.mp3");
    touch(L"\\Music\\b.ogg");
    playlist(L"\\p.asx", "<ASX>" + entry("\\Music\\b.ogg") + "</ASX>");
    EXPECT_EQ(paths(BuildSleepList(SLEEP_SOURCE_FOLDER, L"\\Music")).size(), 2u);
    EXPECT_EQ(paths(BuildSleepList(SLEEP_SOURCE_PLAYLIST, L"\\p.asx")), std::vector<std::wstring>{L"\\Music\\b.ogg"});
    EXPECT_EQ(paths(BuildSleepList(SLEEP_SOURCE_FILE, L"\\Music\\a.mp3")), std::vector<std::wstring>{L"\\Music\\a.mp3"});
    EXPECT_EQ(BuildSleepList(SLEEP_SOURCE_FILE, L"\\Music\\gone.mp3"), nullptr);
    EXPECT_EQ(BuildSleepList(7, L"\\Music"), nullptr);
    EXPECT_TRUE(boxes().empty());
}

}  // namespace

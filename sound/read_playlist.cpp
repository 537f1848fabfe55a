// The entries of an ASX playlist, in file order. The file is read byte by
// byte into segments that each end at a '>'; tags are found by plain,
// case-sensitive substring search, so what the phone accepted is accepted.
#include <cstring>

#include "sound/byte_text.h"
#include "sound/song_list.h"

namespace {

constexpr int SEGMENT_MAX = 519;

struct PlaylistReader {
    char segment[SEGMENT_MAX + 1];
    int length;
    bool is_playlist;  // a segment held "<ASX"
    bool in_entry;
    bool missing;      // PlaylistMissing
    bool unsupported;  // PlaylistUnsupported
    SongNode *head;
    SongNode *tail;
    int songs;
};

void take_reference(PlaylistReader *r) {
    const char *attribute = strstr(r->segment, "href");
    if (!attribute) attribute = strstr(r->segment, "HREF");
    const char *quote = attribute ? strchr(attribute + 4, '"') : nullptr;
    if (!quote) return;
    const char *start = quote + 1;
    const char *end = strchr(start, '"');
    size_t bytes = end ? size_t(end - start) : strlen(start);
    WCHAR path[MAX_PATH];
    // A path too long for the phone is not cut into another one: it is not there.
    if (!text_from_bytes(start, bytes, path, MAX_PATH) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        r->missing = true;
    } else if (!IsMusicFile(path)) {
        r->unsupported = true;
    } else if (r->songs < SONG_LIST_MAX) {
        SongNode *node = new_song_node(path);
        if (!node) return;
        // Appended after the last node kept at hand: walking the whole list
        // for every entry would cost n squared.
        if (r->head) AppendNode(r->tail, node);
        else r->head = node;
        r->tail = node;
        r->songs++;
    }
}

void examine_segment(PlaylistReader *r) {
    if (!r->is_playlist) {
        if (!strstr(r->segment, "<ASX")) return;
        r->is_playlist = true;
    }
    if (strstr(r->segment, "<ENTRY")) {
        r->in_entry = true;
    } else if (r->in_entry && (strstr(r->segment, "<ref") || strstr(r->segment, "<REF"))) {
        take_reference(r);
        r->in_entry = false;  // only the first reference of an entry counts
    } else if (strstr(r->segment, "</ENTRY")) {
        r->in_entry = false;
    }
}

void feed_byte(PlaylistReader *r, char byte) {
    if (byte == '\r' || byte == '\n') return;
    if (byte != '>') {
        if (r->length < SEGMENT_MAX) r->segment[r->length++] = byte;
        return;
    }
    r->segment[r->length] = '\0';
    examine_segment(r);
    r->length = 0;
}

}  // namespace

SongNode *ReadPlaylist(LPCWSTR playlist) {
    HANDLE file = CreateFileW(playlist, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MessageBoxW(nullptr, L"Unable to open playlist", L"Velmora", MB_OK);
        return nullptr;
    }
    PlaylistReader reader = {};
    PlaylistReader *r = &reader;
    // Read in blocks; the bytes are still taken one at a time.
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; i++) feed_byte(r, block[i]);
    CloseHandle(file);
    if (!r->is_playlist) {
        MessageBoxW(nullptr, L"This does not appear to be a valid playlist file", L"Velmora", MB_ICONWARNING);
        return nullptr;
    }
    if (r->head && r->missing)
        MessageBoxW(nullptr, L"Not all music in the playlist could be found", L"Velmora", MB_ICONINFORMATION);
    else if (r->head && r->unsupported)
        MessageBoxW(nullptr, L"Not all music in the playlist is supported by Velmora", L"Velmora", MB_ICONINFORMATION);
    return r->head;
}

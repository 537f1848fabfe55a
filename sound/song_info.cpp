// The current song's title, artist and album from the tags the library
// reports; untagged songs show their file name and an unknown artist.
#include <cstring>

#include "sound/sound_player.h"
#include "sound/tag_value.h"

namespace {

enum SongTag { TAG_TITLE, TAG_ARTIST, TAG_ALBUM, TAG_KINDS };

int tag_kind(const char *name) {
    if (strcmp(name, "TITLE") == 0 || strcmp(name, "TIT2") == 0) return TAG_TITLE;
    if (strcmp(name, "ARTIST") == 0 || strcmp(name, "TPE1") == 0) return TAG_ARTIST;
    if (strcmp(name, "ALBUM") == 0 || strcmp(name, "TALB") == 0) return TAG_ALBUM;
    return -1;
}

WCHAR *tag_text(int kind) {
    switch (kind) {
    case TAG_TITLE: return SoundPlayer.SongTitle;
    case TAG_ARTIST: return SoundPlayer.SongArtist;
    default: return SoundPlayer.SongAlbum;
    }
}

}  // namespace

void ReadSongInfo(FSOUND_STREAM *stream, LPCWSTR path) {
    int count = 0;
    FSOUND_Stream_GetNumTagFields(stream, &count);
    bool found[TAG_KINDS] = {false, false, false};
    for (int i = 0; i < count && !(found[TAG_TITLE] && found[TAG_ARTIST] && found[TAG_ALBUM]); i++) {
        int type = 0, length = 0;
        char *name = nullptr;
        void *value = nullptr;
        if (!FSOUND_Stream_GetTagField(stream, i, &type, &name, &value, &length) || !name || !value) continue;
        int kind = tag_kind(name);
        if (kind < 0) continue;
        WCHAR *text = tag_text(kind);
        if (take_tag_value(text, type, static_cast<const char *>(value), length)) found[kind] = text[0] != L'\0';
    }
    if (!found[TAG_TITLE]) {
        WCHAR name[MAX_PATH];
        FileNameOf(path, name);
        plat::copy_wide(SoundPlayer.SongTitle, SONG_TEXT_CHARS + 1, name);
    }
    if (!found[TAG_ARTIST]) plat::copy_wide(SoundPlayer.SongArtist, SONG_TEXT_CHARS + 1, L"<Artist Unknown>");
    if (!found[TAG_ALBUM]) SoundPlayer.SongAlbum[0] = L'\0';
    SoundPlayer.SongChanged = 1;
}

// The current song's title, artist and album from the tags the library
// reports; untagged songs show their file name and an unknown artist.
#include <cstring>

#include "sound/byte_text.h"
#include "sound/sound_player.h"

namespace {

enum SongTag { TAG_TITLE, TAG_ARTIST, TAG_ALBUM, TAG_KINDS };

#define ID3V2_LATIN 0
#define ID3V2_UTF16 1

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

// UTF-16 after its byte-order mark (little-endian without one), to the
// first zero unit or the end of the field.
void text_from_utf16(const unsigned char *bytes, size_t size, WCHAR *out) {
    bool big = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    size_t i = (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || big)) ? 2 : 0;
    size_t n = 0;
    for (; i + 1 < size && n < SONG_TEXT_CHARS; i += 2) {
        unsigned unit = big ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i] | bytes[i + 1] << 8);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            unsigned low = big ? (bytes[i + 2] << 8 | bytes[i + 3]) : (bytes[i + 2] | bytes[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        out[n++] = WCHAR(unit);
    }
    out[n] = L'\0';
}

// Takes a field's value into its text. False when the value is in a form
// that is not read (an ID3v2 encoding other than 0 and 1): the text stays.
// The field's length bounds every read, whatever its terminator.
bool take_value(WCHAR *text, int type, const char *value, int length) {
    size_t size = length > 0 ? size_t(length) : 0;
    if (type != FSOUND_TAGFIELD_ID3V2) {
        text_from_bytes(value, size, text, SONG_TEXT_CHARS + 1);
        return true;
    }
    if (size == 0) return false;
    if (value[0] == ID3V2_LATIN) {
        text_from_bytes(value + 1, size - 1, text, SONG_TEXT_CHARS + 1);
        return true;
    }
    if (value[0] == ID3V2_UTF16) {
        text_from_utf16(reinterpret_cast<const unsigned char *>(value + 1), size - 1, text);
        return true;
    }
    return false;
}

}  // namespace

void ReadSongInfo(FSOUND_STREAM *stream, LPCWSTR path) {
    int count = 0;
    FSOUND_Stream_GetNumTagFields(stream, &count);
    bool found[TAG_KINDS] = {false, false, false};
    for (int i = 0; i < count && !(found[TAG_TITLE] && found[TAG_ARTIST] && found[TAG_ALBUM]); i++) {
        int type = 0, length = 0;
        char *name = NULL;
        void *value = NULL;
        if (!FSOUND_Stream_GetTagField(stream, i, &type, &name, &value, &length) || !name || !value) continue;
        int kind = tag_kind(name);
        if (kind < 0) continue;
        WCHAR *text = tag_text(kind);
        if (take_value(text, type, static_cast<const char *>(value), length)) found[kind] = text[0] != L'\0';
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

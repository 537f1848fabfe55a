#include "app/sleep_song.h"

#include <cwchar>

namespace {

struct SongTexts {
    WCHAR title[SONG_TEXT_MAX + 1];
    WCHAR artist[SONG_TEXT_MAX + 1];
    WCHAR album[SONG_TEXT_MAX + 1];
    bool changed;
} Song;

}  // namespace

const WCHAR *sleep_song_title(void) { return Song.title; }
const WCHAR *sleep_song_artist(void) { return Song.artist; }
const WCHAR *sleep_song_album(void) { return Song.album; }

bool sleep_song_take_change(void) {
    bool changed = Song.changed;
    Song.changed = false;
    return changed;
}

void sleep_song_mark_changed(void) { Song.changed = true; }

void sleep_song_set(LPCWSTR title, LPCWSTR artist, LPCWSTR album) {
    swprintf(Song.title, SONG_TEXT_MAX + 1, L"%.*ls", SONG_TEXT_MAX, title);
    swprintf(Song.artist, SONG_TEXT_MAX + 1, L"%.*ls", SONG_TEXT_MAX, artist);
    swprintf(Song.album, SONG_TEXT_MAX + 1, L"%.*ls", SONG_TEXT_MAX, album);
    Song.changed = true;
}

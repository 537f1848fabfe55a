// The sleep lines: the song's title, its artist and album, and the time
// left of timed sleep, which blink with the colon while the music pauses.
#include <cwchar>

#include "app/main_window.h"
#include "app/status_labels.h"
#include "app/window_modes.h"
#include "sound/sound_player.h"
#include "store/settings.h"

namespace {

constexpr size_t LINE_CHARS = 2 * SONG_TEXT_CHARS + 8;

void write_song_lines(void) {
    WCHAR shown[LINE_CHARS], artist[LINE_CHARS];
    if (Labels.title_line.window) {
        shorten_to_width(Labels.title_line.window, SoundPlayer.SongTitle, shown, LINE_CHARS);
        SetWindowTextW(Labels.title_line.window, shown);
    }
    if (Labels.artist_line.window) {
        const WCHAR *album = SoundPlayer.SongAlbum;
        if (album[0])
            swprintf(artist, LINE_CHARS, L"%ls - %ls", SoundPlayer.SongArtist, album);
        else
            swprintf(artist, LINE_CHARS, L"%ls", SoundPlayer.SongArtist);
        shorten_to_width(Labels.artist_line.window, artist, shown, LINE_CHARS);
        SetWindowTextW(Labels.artist_line.window, shown);
    }
}

void refresh_time_left(void) {
    ULONGLONG minutes = sleep_seconds_left() / 60;
    WCHAR text[TIME_LEFT_CHARS * 2], shown[TIME_LEFT_CHARS + 1];
    swprintf(text, TIME_LEFT_CHARS * 2, L"%02d:%02d", int(minutes / 60), int(minutes % 60));
    GetWindowTextW(Labels.time_left.window, shown, TIME_LEFT_CHARS + 1);
    if (wcscmp(text, shown) != 0) SetWindowTextW(Labels.time_left.window, text);
}

}  // namespace

void refresh_sleep_lines(void) {
    if (SoundPlayer.SongChanged.exchange(0)) write_song_lines();
    if (Settings.TimedSleep && !SleepMode.SleepPaused && Labels.time_left.window) refresh_time_left();
}

void show_sleep_lines(bool visible) {
    bool timed = Settings.TimedSleep && Labels.time_left.window;
    if (visible) {
        write_song_lines();
        if (timed && SleepMode.SavedTimeLeft[0]) SetWindowTextW(Labels.time_left.window, SleepMode.SavedTimeLeft);
        return;
    }
    if (Labels.title_line.window) SetWindowTextW(Labels.title_line.window, L"");
    if (Labels.artist_line.window) SetWindowTextW(Labels.artist_line.window, L"");
    if (!timed) return;
    GetWindowTextW(Labels.time_left.window, SleepMode.SavedTimeLeft, TIME_LEFT_CHARS + 1);
    SetWindowTextW(Labels.time_left.window, L"");
}

// The playing song's texts as the sleep lines show them. The sound player
// fills them each time it opens a song; a change asks the lines to rewrite
// them at their next refresh.
#pragma once

#include "platform/phone.h"

#define SONG_TEXT_MAX 254

const WCHAR *sleep_song_title(void);
const WCHAR *sleep_song_artist(void);
const WCHAR *sleep_song_album(void);
// True once after each change; the flag is cleared.
bool sleep_song_take_change(void);
void sleep_song_mark_changed(void);
void sleep_song_set(LPCWSTR title, LPCWSTR artist, LPCWSTR album);

// Which file a ringing or the chime plays: the user's choice unless it is
// empty or the bare name of the default, else the default file in the
// install folder's "sounds" folder. A choice that cannot be a sound (gone, a
// folder, an empty file) falls back to the default without a word; only a
// missing default is reported.
#pragma once

#include "platform/phone.h"

// "<install folder>\sounds\<name>" into `path` (MAX_PATH characters).
void default_sound_path(LPCWSTR default_name, LPWSTR path);

// True for a regular file with at least one byte in it.
bool sound_file_usable(LPCWSTR path);

// Fills `path` (MAX_PATH characters) with the file to play. When not even
// the default is usable, shows `missing_format` (one %ls: the default's
// path) in an error box over `owner` and returns false.
bool choose_sound(HWND owner, LPCWSTR chosen, LPCWSTR default_name, LPCWSTR missing_format, LPWSTR path);

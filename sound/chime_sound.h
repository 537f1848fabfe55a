// Which file the hourly chime plays: the ChimeSound setting unless it is
// empty or "CBell.wav", else the install folder's CBell.wav; a chosen file
// that is gone falls back to that default. The Chime program and the main
// program's own chime choose alike.
#pragma once

#include "platform/phone.h"

#define DEFAULT_CHIME_SOUND L"CBell.wav"

// Fills `path` (MAX_PATH characters). When not even the default exists,
// says so in a message box over `owner` and returns false.
bool choose_chime_sound(HWND owner, LPWSTR path);

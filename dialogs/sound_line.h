// The line of a dialog that names the sound it rings (the chime's, the
// countdown's), with "Browse" to pick another.
#pragma once

#include "platform/phone.h"

// The sound's file name fitted to the line, or "<default sound>" when
// `sound` is empty.
void show_sound_line(HWND dialog, int id, LPCWSTR sound);
// Select Sound over the dialog; a sound picked goes into `sound` (MAX_PATH
// characters) at once and its name onto the line. The dialog comes to the
// front again either way.
void browse_sound_line(HWND dialog, int id, LPWSTR sound);

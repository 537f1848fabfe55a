// The bitmaps of the clock face, the ringing dialogs' pictures and the other
// screens' images, drawn at build time. A program calls this once at start so
// that LoadBitmapW finds them by number.
#pragma once

void register_clock_bitmaps(void);

// A program's compiled resources, found by their numbers: bitmaps drawn by
// the generator at build time, and the string table. Each program registers
// its tables at start; LoadBitmapW and LoadStringW look there.
#pragma once

#include "platform/types.h"

struct BitmapResource {
    int id;
    int width;
    int height;
    int bits_per_pixel;          // what the phone's image had: 8 or 24; pixels are always RGB here
    const unsigned char *rgb;    // rows top-down, 3 bytes a pixel (red, green, blue), no padding
};

struct StringResource {
    int id;
    const WCHAR *text;
};

// Adds a table; a later table's entry wins over an earlier one's with the
// same number. The tables must live as long as the program.
void resources_add_bitmaps(const BitmapResource *table, int count);
void resources_add_strings(const StringResource *table, int count);

const BitmapResource *resources_find_bitmap(int id);

// The phone's string loader: copies at most chars - 1 characters and
// terminates; returns the characters copied, 0 when the string is missing.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int chars);

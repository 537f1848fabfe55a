// The sixteen colours the clock face can be shown in, each with the button
// of Choose Color that shows it as a swatch.
#pragma once

#include "platform/phone.h"

#define COLOR_COUNT 16

struct ColorEntry {
    int button;
    COLORREF colour;  // never 0, so 0 can mean "none chosen"
    HBRUSH brush;     // while Choose Color is open
    HWND window;      // the button, while Choose Color is open
};

extern ColorEntry ColorTable[COLOR_COUNT];

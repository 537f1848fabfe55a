// The clock face: a bitmap clock on a dark panel in the user's colour, laid
// out for the screen, redrawn once a second where it changed.
#pragma once

#include "platform/phone.h"

// Layout selectors.
#define LAYOUT_LANDSCAPE (-1)
#define LAYOUT_SMALL 0
#define LAYOUT_LARGE 1

#define COLON_SLOT_WIDTH 20
#define AM_PM_HEIGHT 22
#define BANNER_HEIGHT 23
#define BELL_SIZE 16
#define INTERNET_TIME_UNKNOWN 0xFFFF

// The fixed geometry of one layout, and what is derived from the client area.
struct LayoutMetrics {
    int selector;
    int face_width, face_height;
    int digit_width, digit_height, digit_gap;
    int left_margin, top_offset;
    int background_id;
    int strip_dx, strip_width;    // AM/PM strip, from the face left
    int banner_dx, banner_width;  // COUNTDOWN banner; width 0: none
    int bell_dx, bell_dy;         // from the face left and top
    int bell_id;
    // Derived.
    int client_width, client_height;
    int face_left, face_top, face_bottom;
};

enum DigitSlotIndex { SLOT_HOUR_TENS, SLOT_HOUR_UNITS, SLOT_COLON, SLOT_MINUTE_TENS, SLOT_MINUTE_UNITS, SLOT_COUNT };

struct DigitSlot {
    int x, y, width, height;
};

// The tinted images of one layout; NULL where one could not be loaded.
struct LayoutImages {
    HBITMAP digits[10];
    HBITMAP blank, colon_shown, colon_hidden, am, pm, banner;
};

#define LAYOUT_COUNT 3

struct BitmapSet {
    bool loaded;
    LayoutImages layouts[LAYOUT_COUNT];  // small, large, landscape
    HBITMAP background, bell;            // the current layout's only
    HDC background_dc;                   // holds the background
    HDC image_dc;                        // an image is selected here to be drawn
    HDC tint_dc;                         // used while tinting
    HGDIOBJ background_dc_old;
};

// Last drawn values; -1 (or INTERNET_TIME_UNKNOWN) forces a redraw.
struct TickCache {
    int hour_tens, hour_units, minute_tens, minute_units;
    int am_pm, banner;
    int day, day_of_week, month;
    int internet_time;
    int colon_phase;
};

extern LayoutMetrics Layout;
extern DigitSlot Slots[SLOT_COUNT];
extern BitmapSet Images;
extern TickCache Cache;

// Layout.
int layout_for_size(int width, int height);
int screen_layout(void);
void compute_layout(void);
void compute_slots(void);
int layout_index(int selector);
RECT am_pm_rect(void);
RECT banner_rect(void);
RECT bell_rect(void);

// Images.
void load_images(HINSTANCE instance);
void release_images(void);
// The Color setting as drawn: the reference's colour bytes, and yellow for
// black, which would vanish against the transparent key.
COLORREF clock_colour(void);
// The bitmap `id` copied into a 24-bit section with pure yellow recoloured,
// through the set's drawing surfaces; NULL when it cannot be loaded.
HBITMAP load_tinted(HINSTANCE instance, int id, COLORREF colour);

// Takes `colour` as the Color setting, tints the images with it and has the
// window painted again.
void recolour_face(COLORREF colour);

// Drawing, straight onto the window.
void draw_slot(int slot, int value);
void draw_am_pm(int pm);
void draw_countdown_banner(void);
void draw_bell(void);
void paint_face(void);

// The per-second redraw.
void reset_tick_cache(void);
void tick(void);
int internet_time(void);

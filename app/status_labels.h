// The lines of text under the face, in the user's colour on black: date,
// next alarm and Internet time in the Clock and Countdown modes; the song,
// its artist and album and the time left in the Sleep mode.
#pragma once

#include <cstddef>

#include "platform/phone.h"

struct StatusLabel {
    HWND window;  // NULL when this set has no such line
    HFONT font;
};

struct StatusLabels {
    // Clock and Countdown.
    StatusLabel date_line, next_alarm, internet_time;
    // Sleep.
    StatusLabel time_left, title_line, artist_line;
};

extern StatusLabels Labels;

// The set for the current window mode; ShowITime and TimedSleep are read
// only here.
void create_labels(void);
void destroy_labels(void);
// Asks every label to paint itself again.
void redraw_labels(void);
bool is_status_label(HWND window);
// The colours the window gives its labels: the clock colour on black.
LRESULT label_colours(HDC dc);

void refresh_next_alarm(void);
void set_date_line(LPCWSTR text);
void set_internet_time(LPCWSTR text);
void refresh_sleep_lines(void);
void show_sleep_lines(bool visible);

// `text` cut at the last character that lets it, followed by "...", fit the
// label's width in the label's font; the whole text when it fits or when
// not even one character does.
void shorten_to_width(HWND label, LPCWSTR text, LPWSTR out, size_t cap);

// The name an alarm shows under: its own, cut after 10 characters, or
// "Alarm <n>" when it has none.
void alarm_display_name(int index, LPWSTR out, size_t cap);

// What every settings dialog does the same way: filling the screen above its
// soft keys, the Back key handed to the control with the focus, the fonts in
// points, and the last part of a path.
#pragma once

#include "platform/phone.h"

// Sizes the dialog to the screen and makes its soft-key bar; the bar's
// window, NULL when it could not be made. Back then reaches the dialog as a
// hot key, so that it deletes in an edit box instead of doing the bar's default.
HWND start_full_screen(HWND dialog, int bar_id);
// A Back-key hot key goes on to the focus window; TRUE when it was one.
BOOL pass_back_key(UINT message, WPARAM wparam, LPARAM lparam);
// A font of `face`, `weight` and `points` for the screen's pixels per inch.
HFONT create_points_font(const WCHAR *face, int weight, int points);
// Sets `font` on each control of `ids` (ending with 0).
void set_controls_font(HWND dialog, const int *ids, HFONT font);
// The text after the last backslash; the whole text when there is none.
LPCWSTR last_component(LPCWSTR path);
// The dialog on top of the window order and in front again, after a dialog
// or a sound it opened.
void bring_to_front(HWND dialog);
// Shows `id`'s `text` cut with "..." to the control's width.
void set_fitted_text(HWND dialog, int id, LPCWSTR text);

// The time spinner: hours, tens and units of minutes, each turned by its own
// up and down button; the three digit texts are the only store of the value.
#pragma once

#include "platform/phone.h"

// The largest value: 23 : 5 9.
#define SPINNER_MAX_MINUTES 1439

// The bold digit font on the three digits; NULL (and the dialog's font
// kept) when it cannot be made. The dialog deletes it when it closes.
HFONT spinner_create_font(HWND dialog);
// Hours (capped at 23), tens and units of `minutes`.
void spinner_show(HWND dialog, DWORD minutes);
// Hours x 60 + tens x 10 + units, each digit text that is no number as 0.
DWORD spinner_read(HWND dialog);
// A click of one of the six buttons turns its digit, wrapping, with no carry
// to the next; TRUE when `command` was one of them (whatever the code).
BOOL spinner_command(HWND dialog, int command, int code);

typedef void (*DialogCommand)(HWND dialog, int id, int code);

// What the dialogs with a spinner do alike with every message but their
// opening: the spinner's buttons take their clicks and `on_command` the other
// commands, `*digit_font` is deleted with the dialog (also when the program
// quits with it open), Back goes on to the focus window.
INT_PTR spinner_dialog_message(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, HFONT *digit_font,
                               DialogCommand on_command);

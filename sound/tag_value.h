// The text of one tag field as the sound library reports it: an ID3v2
// frame's data begins with its text encoding (0 single-byte, 1 UTF-16 with
// a byte-order mark; others are not read), every other field is 8-bit text.
#pragma once

#include "platform/phone.h"

#define SONG_TEXT_CHARS 254

// Takes the value into `text` (SONG_TEXT_CHARS characters and the
// terminator). False when the value is in a form that is not read: the text
// is then left as it was. The field's length bounds every read, whatever
// its terminator.
bool take_tag_value(WCHAR *text, int type, const char *value, int length);

// Text stored as bytes by other programs (playlists, tags) made wide. The
// phone read such bytes in its own code page; here the bytes are UTF-8 when
// they are well-formed UTF-8, and otherwise Latin-1, where every byte is a
// character, so that old files show their accents instead of U+FFFD.
#pragma once

#include "platform/phone.h"

// Converts up to `count` bytes, stopping early at a zero byte, into `out`,
// which holds `room` characters with the terminator. Returns false when the
// text did not fit; `out` then holds as much as fits, never half a character.
bool text_from_bytes(const char *bytes, size_t count, LPWSTR out, size_t room);

// The rules every channel follows for its stream: open with retries, play on
// any free channel, close with retries.
#pragma once

#include "sound/sound_player.h"

#define OPEN_ATTEMPTS 6
#define OPEN_RETRY_MS 500
#define CLOSE_CALLS 6
#define CLOSE_RETRY_MS 200
#define STREAM_MODE 0x130          // 16-bit, signed, mono
#define STREAM_MODE_LOOPING 0x132  // the same, looping

// A wide path in the library's multibyte form. UTF-8 may take four bytes a
// character, so the buffer has room for a whole 260-character path.
#define MULTIBYTE_PATH_BYTES (MAX_PATH * 4)
bool to_multibyte_path(LPCWSTR path, char *out);

// One open; on success the channel's end notification is registered.
FSOUND_STREAM *open_stream(LPCWSTR path, unsigned mode, FSOUND_STREAMCALLBACK notification);

// Up to OPEN_ATTEMPTS calls of `attempt`, OPEN_RETRY_MS apart (also after
// the last); `after_failure`, when given, runs after each failed attempt
// before the wait.
bool open_with_retries(bool (*attempt)(LPCWSTR path), LPCWSTR path, void (*after_failure)(LPCWSTR path));

bool play_stream(FSOUND_STREAM *stream);

// Closes the slot's stream, retrying while the library says no, and forgets
// it whatever the outcome.
void close_stream(StreamSlot &slot);

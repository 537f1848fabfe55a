#include "sound/stream_rules.h"

bool to_multibyte_path(LPCWSTR path, char *out) {
    int n = WideCharToMultiByte(CP_ACP, 0, path, -1, out, MULTIBYTE_PATH_BYTES, nullptr, nullptr);
    if (n > 0) return true;
    out[0] = '\0';
    return false;
}

FSOUND_STREAM *open_stream(LPCWSTR path, unsigned mode, FSOUND_STREAMCALLBACK notification) {
    char multibyte[MULTIBYTE_PATH_BYTES];
    if (!to_multibyte_path(path, multibyte)) return nullptr;
    FSOUND_STREAM *stream = FSOUND_Stream_Open(multibyte, mode, 0, 0);
    if (stream) FSOUND_Stream_SetEndCallback(stream, notification, nullptr);
    return stream;
}

bool open_with_retries(bool (*attempt)(LPCWSTR path), LPCWSTR path, void (*after_failure)(LPCWSTR path)) {
    for (int i = 0; i < OPEN_ATTEMPTS; i++) {
        if (attempt(path)) return true;
        if (after_failure) after_failure(path);
        Sleep(OPEN_RETRY_MS);
    }
    return false;
}

bool play_stream(FSOUND_STREAM *stream) { return FSOUND_Stream_Play(FSOUND_FREE, stream) >= 0; }

void close_stream(StreamSlot &slot) {
    FSOUND_STREAM *stream = slot.load();
    if (stream) {
        for (int i = 0; i < CLOSE_CALLS; i++) {
            if (FSOUND_Stream_Close(stream)) break;
            Sleep(CLOSE_RETRY_MS);
        }
    }
    slot.store(nullptr);
}

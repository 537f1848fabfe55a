// The one-shot channel: the hourly chime or a test sound, played once.
#include "sound/stream_rules.h"

namespace {

// Library thread: only the flag; the caller closes the stream later.
signed char once_ended(FSOUND_STREAM *, void *, int, void *) {
    SoundPlayer.OnceEnded = 1;
    return TRUE;
}

bool open_once(LPCWSTR path) {
    SoundPlayer.OnceStream = open_stream(path, STREAM_MODE, once_ended);
    return SoundPlayer.OnceStream.load() != nullptr;
}

void show_open_failed(LPCWSTR path) { MessageBoxW(nullptr, path, L"Open Failed", MB_OK); }

}  // namespace

bool PlayOnce(LPCWSTR path) {
    SoundPlayer.OnceEnded = 0;
    StartSoundLibrary();
    if (!open_with_retries(open_once, path, show_open_failed)) {
        MessageBoxW(nullptr, L"Unable to play sound!", L"Error", MB_ICONWARNING);
        return false;
    }
    play_stream(SoundPlayer.OnceStream);
    return true;
}

void StopOnce(void) {
    FSOUND_STREAM *stream = SoundPlayer.OnceStream;
    if (stream) FSOUND_Stream_Stop(stream);
}

void CloseOnce(void) { close_stream(SoundPlayer.OnceStream); }

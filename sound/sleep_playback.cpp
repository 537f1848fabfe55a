// The sleep channel: a song list played one song after another, round again
// while timed sleep is on, with Next and Previous.
#include "sound/stream_rules.h"
#include "store/settings.h"

constexpr int STEP_PAUSE_MS = 500;

namespace {

bool open_song(LPCWSTR path) {
    char multibyte[MULTIBYTE_PATH_BYTES];
    if (!to_multibyte_path(path, multibyte)) return false;
    return OpenSong(multibyte, path);
}

// Opens the current song with retries and plays it; false when it gave up.
bool play_current_song(void) {
    SongNode *current = SoundPlayer.SleepCurrent;
    if (!current) return false;
    WCHAR path[MAX_PATH];
    plat::copy_wide(path, MAX_PATH, current->Path);
    if (!open_with_retries(open_song, path, nullptr)) {
        MessageBoxW(nullptr, L"Unable to play sound!", L"Error", MB_ICONWARNING);
        return false;
    }
    SoundPlayer.SongChanged = 1;
    play_stream(SoundPlayer.SleepStream);
    return true;
}

SongNode *last_song(SongNode *list) {
    while (list && list->Next) list = list->Next;
    return list;
}

SongNode *song_before(SongNode *list, SongNode *song) {
    for (SongNode *p = list; p; p = p->Next)
        if (p->Next == song) return p;
    return nullptr;
}

// Library thread: the song ended; go on to the next one.
signed char sleep_ended(FSOUND_STREAM *, void *, int, void *) {
    SongNode *current = SoundPlayer.SleepCurrent;
    if (SoundPlayer.SleepStopping || !current) return TRUE;
    if (current->Next) {
        SoundPlayer.SleepCurrent = current->Next;
    } else if (Settings.TimedSleep) {
        SoundPlayer.SleepCurrent = SoundPlayer.SleepHead;
        // A one-song list loops in the library; it only needs to go on.
        if (SoundPlayer.SleepHead == current) {
            play_stream(SoundPlayer.SleepStream);
            return TRUE;
        }
    } else {
        SoundPlayer.SleepFinished = 1;
        SoundPlayer.SleepCurrent = nullptr;
        return TRUE;
    }
    close_stream(SoundPlayer.SleepStream);
    return play_current_song() ? TRUE : FALSE;
}

}  // namespace

bool OpenSong(const char *multibyte_path, LPCWSTR path) {
    SongNode *head = SoundPlayer.SleepHead;
    unsigned mode = head && !head->Next ? STREAM_MODE_LOOPING : STREAM_MODE;
    FSOUND_STREAM *stream = FSOUND_Stream_Open(multibyte_path, mode, 0, 0);
    SoundPlayer.SleepStream = stream;
    if (!stream) return false;
    FSOUND_Stream_SetEndCallback(stream, sleep_ended, nullptr);
    ReadSongInfo(stream, path);
    return true;
}

bool StartSleepList(SongNode *list) {
    if (!list) return false;
    SoundPlayer.SleepStopping = 0;
    SoundPlayer.SleepFinished = 0;
    SoundPlayer.SleepHead = list;
    SoundPlayer.SleepCurrent = list;
    StartSoundLibrary();
    return play_current_song();
}

void StepSleepList(bool forward) {
    if (SoundPlayer.SleepStopping) return;
    if (SoundPlayer.SleepStream.load()) {
        SoundPlayer.SleepStopping = 1;
        FSOUND_Stream_Stop(SoundPlayer.SleepStream);
        close_stream(SoundPlayer.SleepStream);
        SoundPlayer.SleepStopping = 0;
        Sleep(STEP_PAUSE_MS);
    }
    SongNode *current = SoundPlayer.SleepCurrent, *head = SoundPlayer.SleepHead;
    if (forward) {
        if (!current) return;
        if (current->Next) SoundPlayer.SleepCurrent = current->Next;
    } else if (current != head) {
        SongNode *before = current ? song_before(head, current) : last_song(head);
        SoundPlayer.SleepCurrent = before ? before : head;
    }
    play_current_song();
}

void StopSleep(void) {
    FSOUND_STREAM *stream = SoundPlayer.SleepStream;
    if (!stream) return;
    SoundPlayer.SleepStopping = 1;
    FSOUND_Stream_Stop(stream);
}

void CloseSleep(void) { close_stream(SoundPlayer.SleepStream); }

// The Sleep mode: sleep music, optionally for a limited time. The time left
// stands still while the music pauses: the end moves on by the pause.
#include "app/window_modes.h"

#include "app/local_time.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "dialogs/dialogs.h"
#include "sound/sound_player.h"
#include "store/settings.h"

SleepState SleepMode;

namespace {

constexpr ULONGLONG FT_SECOND = 10000000ULL;
// The end lies a minute less one second beyond the minutes chosen, so that
// the time left shows the minutes chosen at the start.
constexpr ULONGLONG SLEEP_END_EXTRA_SECONDS = 59;

void forget_songs(void) {
    FreeSongList(SleepMode.SleepList);
    SleepMode.SleepList = nullptr;
    SoundPlayer.SleepHead = nullptr;
    SoundPlayer.SleepCurrent = nullptr;
}

void resume(void) {
    SleepMode.SleepPaused = 0;
    PauseAll(false);
    if (Settings.TimedSleep) SleepMode.SleepEndTime = local_file_time_now() + SleepMode.PausedSeconds * FT_SECOND;
    show_sleep_lines(true);
}

}  // namespace

ULONGLONG sleep_seconds_left(void) {
    ULONGLONG now = local_file_time_now();
    return SleepMode.SleepEndTime > now ? (SleepMode.SleepEndTime - now) / FT_SECOND : 0;
}

void start_sleep(void) {
    SongNode *list = nullptr;
    run_sleep(MainWindow.window, &list);
    save_settings();
    if (!list) return;
    SleepMode.SleepList = list;
    if (Settings.TimedSleep)
        SleepMode.SleepEndTime =
            local_file_time_now() + (ULONGLONG(Settings.SleepTime) * 60 + SLEEP_END_EXTRA_SECONDS) * FT_SECOND;
    if (StartSleepList(list)) {
        set_mode(MODE_SLEEP);
        return;
    }
    // Nothing plays: the library and the songs are let go at once.
    CloseSleep();
    ReleaseSoundLibrary();
    forget_songs();
}

void leave_sleep(void) {
    if (MainWindow.mode != MODE_SLEEP) return;
    StopSleep();
    CloseSleep();
    ReleaseSoundLibrary();
    forget_songs();
    set_mode(MODE_CLOCK);
}

void stop_sleep(void) {
    resume_sleep();
    leave_sleep();
}

void toggle_pause(void) {
    if (SleepMode.SleepPaused) {
        resume();
        return;
    }
    SleepMode.SleepPaused = 1;
    SleepMode.SavedTimeLeft[0] = L'\0';
    PauseAll(true);
    if (Settings.TimedSleep) SleepMode.PausedSeconds = DWORD(sleep_seconds_left());
}

void resume_sleep(void) {
    if (SleepMode.SleepPaused) resume();
}

// Once a second in the Sleep mode. Sleep ends with the last song, or when
// less than a minute of timed sleep is left; never while paused, since the
// time left stands still then.
void check_sleep_time(void) {
    if (SoundPlayer.SleepFinished) {
        leave_sleep();
        return;
    }
    if (Settings.TimedSleep && !SleepMode.SleepPaused && sleep_seconds_left() / 60 == 0) leave_sleep();
}

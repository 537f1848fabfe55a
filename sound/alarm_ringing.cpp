// The alarm ringing dialog: the alarm's name as title, a picture of an alarm
// clock, Snooze and Stop. The alarm's sound rings at its own volume until a
// key ends it or MaxTime minutes have passed; a power-on starts it again.
#include "resources/ringing_resources.h"
#include "sound/ringing.h"
#include "sound/ringing_dialog.h"
#include "sound/sound_choice.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

// Commands no control sends, taken as Snooze and Stop all the same.
constexpr WORD CMD_SNOOZE_TOO = 1004;
constexpr WORD CMD_STOP_TOO = 1003;
constexpr int PLAY_CALLS = 6;
constexpr DWORD SNOOZE_HOLD_MS = 1000;
// The limit ends the ringing up to this much early, so that a check a
// moment before the limit does not add a whole minute.
constexpr ULONGLONG LIMIT_SLACK_MS = 10000;
constexpr DWORD CHECK_AGAIN_MS = 60000;
constexpr int TITLE_CHARS = ALARM_NAME_CHARS;

BYTE TestRing;
BYTE MaxTimeReached;

namespace {

WCHAR RingSoundPath[MAX_PATH];

bool choose_alarm_sound(HWND dialog) {
    AlarmRecord *alarm = alarm_record(RingingAlarmIndex);
    return choose_sound(dialog, alarm ? alarm->AlarmSound : nullptr, DEFAULT_ALARM_SOUND,
                        L"Can't find the alarm sound file %ls.  Please go to \"Set Alarm\" and select a valid sound "
                        L"file.",
                        RingSoundPath);
}

// False when no sound file exists: the dialog has ended.
bool start_alarm_sound(HWND dialog) {
    if (!choose_alarm_sound(dialog)) {
        ringing_kill_timers(dialog);
        EndDialog(dialog, RING_STOPPED);
        return false;
    }
    ringing_start(RingSoundPath, DEFAULT_ALARM_SOUND, true, PLAY_CALLS);
    return true;
}

void set_title(HWND dialog) {
    AlarmRecord *alarm = alarm_record(RingingAlarmIndex);
    WCHAR title[TITLE_CHARS];
    if (alarm && alarm->AlarmName[0] && wcscmp(alarm->AlarmName, DEFAULT_ALARM_NAME) != 0)
        plat::copy_wide(title, TITLE_CHARS, alarm->AlarmName);
    else
        swprintf(title, TITLE_CHARS, L"Alarm %d", RingingAlarmIndex + 1);
    SetWindowTextW(dialog, title);
}

void on_open(HWND dialog) {
    ringing_open(dialog, IDM_ALARM_RINGING);
    ringing_clock_start();
    if (!start_alarm_sound(dialog)) return;
    ringing_start_timers(dialog, Settings.MaxTime);
    set_title(dialog);
}

// The first check comes after MaxTime minutes, then one a minute. Measured
// on the monotonic clock, a late check or a clock change while ringing
// cannot keep it ringing for ever.
void check_limit(HWND dialog) {
    ULONGLONG limit_ms = ULONGLONG(Settings.MaxTime) * 60000;
    if (ringing_clock_elapsed_ms() + LIMIT_SLACK_MS >= limit_ms) {
        MaxTimeReached = 1;
        ringing_end(dialog, true, RING_STOPPED);
        return;
    }
    SetTimer(dialog, RING_LIMIT_TIMER_ID, CHECK_AGAIN_MS, nullptr);
}

void watch(HWND dialog) {
    SystemIdleTimerReset();
    if (!PowerOnOccurred()) return;
    ringing_close(true);
    start_alarm_sound(dialog);
}

void snooze(HWND dialog) {
    ringing_close(true);
    if (!TestRing) snooze_alarm(RingingAlarmIndex);
    ringing_kill_timers(dialog);
    Sleep(SNOOZE_HOLD_MS);
    EndDialog(dialog, RING_SNOOZED);
}

INT_PTR alarm_ringing_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: on_open(dialog); return TRUE;
    case WM_TIMER:
        if (wparam == RING_LIMIT_TIMER_ID) check_limit(dialog);
        if (wparam == RING_WATCH_TIMER_ID) watch(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_RING_SNOOZE || LOWORD(wparam) == CMD_SNOOZE_TOO) snooze(dialog);
        if (LOWORD(wparam) == IDC_RING_STOP || LOWORD(wparam) == CMD_STOP_TOO)
            ringing_end(dialog, true, RING_STOPPED);
        return TRUE;
    // A dialog ended from outside (the program quits) must not leave the
    // sound playing or the alarm's volume on the device.
    case WM_DESTROY: ringing_close(true); return FALSE;
    default: return ringing_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_alarm_ringing(HWND owner, int screen_class) {
    int id = ringing_template(screen_class, IDD_ALARM_RINGING_LARGE, IDD_ALARM_RINGING_SMALL,
                              IDD_ALARM_RINGING_LANDSCAPE);
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(id), owner, alarm_ringing_proc, 0);
}

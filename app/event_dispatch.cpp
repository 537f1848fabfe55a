// Every event reaches the clock here: the countdown's end, the chime, and an
// alarm or its snooze. Quiet (another alarm ringing, or alarms silenced)
// rings nothing, but what must ring again is armed again all the same.
#include "app/event_dispatch.h"

#include "app/main_window.h"
#include "app/window_modes.h"
#include "sound/chime_sound.h"
#include "sound/ringing.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

constexpr UINT SIMPLE_BEEP = 0xFFFFFFFF;
constexpr DWORD BEEP_WAIT_MS = 1000;
constexpr UINT NO_MOVE_NO_SIZE = SWP_NOMOVE | SWP_NOSIZE;

namespace {

bool quiet(void) { return MainWindow.AlarmRinging || Settings.Silenced; }

void set_topmost(bool on) {
    SetWindowPos(MainWindow.window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, NO_MOVE_NO_SIZE);
}

void countdown_due(void) {
    if (!quiet()) {
        MessageBeep(SIMPLE_BEEP);
        run_countdown_ringing(nullptr, MainWindow.screen_type);
        set_topmost(false);
    }
    leave_countdown();
}

void chime_due(void) {
    WCHAR path[MAX_PATH];
    if (!quiet() && choose_chime_sound(MainWindow.window, path)) PlayOnce(path);
    if (Settings.Chime)
        schedule_chime(MainWindow.window);
    else
        clear_chime();
    save_chime_settings();
}

// The next regular occurrence of an enabled alarm; a disabled one keeps no
// request.
void rearm(int index) {
    if (alarm_record(index)->AlarmOn)
        schedule_alarm(index, MainWindow.window);
    else
        clear_alarm(index);
}

// After Snooze the dialog has registered the snooze in place of the alarm's
// request; after anything else the request has fired and the next one is due.
void after_ringing(int index, INT_PTR result) {
    if (result == RING_SNOOZED) {
        MainWindow.SnoozePending = 1;
        return;
    }
    AlarmRecord *alarm = alarm_record(index);
    if (alarm->AlarmOn) alarm->AlarmHandle = 0;
    rearm(index);
    MainWindow.SnoozePending = 0;
}

void alarm_due(int index) {
    if (quiet()) {
        rearm(index);
        return;
    }
    if (MainWindow.mode == MODE_SLEEP) leave_sleep();
    if (MainWindow.mode == MODE_COUNTDOWN) leave_countdown();
    MainWindow.AlarmRinging = 1;
    MaxTimeReached = 0;
    RingingAlarmIndex = index;
    MessageBeep(SIMPLE_BEEP);
    Sleep(BEEP_WAIT_MS);
    set_topmost(true);
    MainWindow.SnoozePending = 0;
    TestRing = 0;
    INT_PTR result = run_alarm_ringing(nullptr, MainWindow.screen_type);
    set_topmost(false);
    after_ringing(index, result);
    MainWindow.AlarmRinging = 0;
    // The next-alarm line shows what comes next, no longer the alarm that rang.
    InvalidateRect(MainWindow.window, nullptr, FALSE);
    if (MaxTimeReached) {
        MessageBoxW(nullptr, L"The alarm was turned off because the maximum time was reached", L"Velmora", MB_OK);
        MaxTimeReached = 0;
    }
}

}  // namespace

void dispatch_event(WPARAM id) {
    if (id == EVENT_ID_COUNTDOWN)
        countdown_due();
    else if (id == EVENT_ID_CHIME)
        chime_due();
    else if (id < ALARM_COUNT && alarm_record(int(id)))
        alarm_due(int(id));
    else {
        // Nothing registers such an event; indexing the alarms with it would
        // read past their table.
        WCHAR text[64];
        swprintf(text, 64, L"event %llu ignored: no such alarm", (unsigned long long)id);
        journal_write("event", text);
    }
}

// The state of every item each time a popup opens: the settings and start
// commands only in the plain clock, the sleep controls only while sleep
// music plays, "Cancel Countdown" only in a countdown.
#include "app/main_window.h"
#include "app/menu_commands.h"
#include "app/window_modes.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"
#include "store/settings.h"

namespace {

const UINT CLOCK_ONLY[] = {IDM_START_SLEEP,    IDM_START_COUNTDOWN, IDM_GENERAL_SETTINGS,
                           IDM_REBUILD_ALARMS, IDM_SET_SNOOZE,      IDM_SET_ALARMS};

void enable(HMENU menu, UINT command, bool on) {
    EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void check(HMENU menu, UINT command, bool on) {
    CheckMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void on_init_menu_popup(HMENU menu) {
    int mode = MainWindow.mode;
    bool sleeping = mode == MODE_SLEEP;
    SongNode *current = SoundPlayer.SleepCurrent;
    enable(menu, IDM_CANCEL_SNOOZE, MainWindow.SnoozePending != 0);
    for (UINT command : CLOCK_ONLY) enable(menu, command, mode == MODE_CLOCK);
    enable(menu, IDM_SLEEP_PREV, sleeping && current != SoundPlayer.SleepHead);
    enable(menu, IDM_SLEEP_STOP, sleeping);
    enable(menu, IDM_SLEEP_PAUSE, sleeping);
    check(menu, IDM_SLEEP_PAUSE, sleeping && SleepMode.SleepPaused);
    enable(menu, IDM_SLEEP_NEXT, sleeping && current && current->Next);
    enable(menu, IDM_CANCEL_COUNTDOWN, mode == MODE_COUNTDOWN);
    check(menu, IDM_SILENCE_ALL, Settings.Silenced != 0);
}

// The commands of the Sleep and Countdown popups. Each acts only in the mode
// whose menu offers it: a command posted from outside while it is grayed
// must not start a second mode or step a list that is gone.
#include "app/main_window.h"
#include "app/menu_commands.h"
#include "app/window_modes.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"

namespace {

void step_sleep(bool forward) {
    resume_sleep();
    StepSleepList(forward);
}

void start_countdown_command(void) {
    if (run_countdown(MainWindow.window) == IDC_START) enter_countdown();
}

}  // namespace

bool on_mode_command(WORD command) {
    bool clock = MainWindow.mode == MODE_CLOCK, sleeping = MainWindow.mode == MODE_SLEEP;
    switch (command) {
        case IDM_START_SLEEP:
            if (clock) start_sleep();
            return true;
        case IDM_SLEEP_PREV:
        case IDM_SLEEP_NEXT:
            if (sleeping) step_sleep(command == IDM_SLEEP_NEXT);
            return true;
        case IDM_SLEEP_STOP:
            if (sleeping) stop_sleep();
            return true;
        case IDM_SLEEP_PAUSE:
            if (sleeping) toggle_pause();
            return true;
        case IDM_START_COUNTDOWN:
            if (clock) start_countdown_command();
            return true;
        case IDM_CANCEL_COUNTDOWN:
            leave_countdown();
            return true;
        default:
            return false;
    }
}

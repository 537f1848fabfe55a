// The countdown ringing dialog: a picture of an alarm clock and Stop. The
// countdown's sound rings at the system volume until Stop or until MaxTime
// minutes have passed.
#include "resources/ringing_resources.h"
#include "sound/ringing.h"
#include "sound/ringing_dialog.h"
#include "sound/sound_choice.h"
#include "store/settings.h"

constexpr WORD CMD_STOP_TOO = 1003;
constexpr wchar_t DEFAULT_COUNTDOWN_SOUND[] = L"CBuzzer.wav";

namespace {

void on_open(HWND dialog) {
    ringing_open(dialog, IDM_COUNTDOWN_RINGING);
    WCHAR path[MAX_PATH];
    if (!choose_sound(dialog, Settings.CountdownSound, DEFAULT_COUNTDOWN_SOUND,
                      L"Can't find the countdown sound file %ls.  Please select a valid sound file.", path)) {
        EndDialog(dialog, RING_STOPPED);
        return;
    }
    // One call: a sound that will not start leaves the dialog silent.
    ringing_start(path, DEFAULT_COUNTDOWN_SOUND, false, 1);
    ringing_start_timers(dialog, Settings.MaxTime);
}

INT_PTR countdown_ringing_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: on_open(dialog); return TRUE;
    case WM_TIMER:
        if (wparam == RING_LIMIT_TIMER_ID) ringing_end(dialog, false, RING_STOPPED);
        if (wparam == RING_WATCH_TIMER_ID) SystemIdleTimerReset();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_RING_STOP || LOWORD(wparam) == CMD_STOP_TOO)
            ringing_end(dialog, false, RING_STOPPED);
        return TRUE;
    case WM_DESTROY: ringing_close(false); return FALSE;
    default: return ringing_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_countdown_ringing(HWND owner, int screen_class) {
    int id = ringing_template(screen_class, IDD_COUNTDOWN_RINGING_LARGE, IDD_COUNTDOWN_RINGING_SMALL,
                              IDD_COUNTDOWN_RINGING_LANDSCAPE);
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(id), owner, countdown_ringing_proc, 0);
}

// The one-second timer: a finished one-shot sound, the face, the sleep time,
// and keeping the device awake while sleep music plays or a countdown asks
// for it.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/window_modes.h"
#include "sound/sound_player.h"
#include "store/settings.h"

void on_tick_timer(void) {
    // The one-shot's end notification only raises the flag; the stream is
    // closed here, on this thread.
    if (SoundPlayer.OnceEnded.exchange(0)) CloseOnce();
    tick();
    if (MainWindow.mode == MODE_SLEEP) check_sleep_time();
    bool awake = MainWindow.mode == MODE_SLEEP || (MainWindow.mode == MODE_COUNTDOWN && Settings.CountdownKeepAwake);
    if (awake) SystemIdleTimerReset();
}

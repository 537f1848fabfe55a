#include "sound/chime_program.h"

#include "sound/chime_sound.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

bool wait_for_chime_end(DWORD limit_ms) {
    for (DWORD waited = 0; !SoundPlayer.OnceEnded; waited += CHIME_LOOK_MS) {
        if (waited >= limit_ms) {
            StopOnce();
            return false;
        }
        Sleep(CHIME_LOOK_MS);
    }
    return true;
}

namespace {

// A sound that would not open has had its boxes already; nothing to wait for.
void sound_chime(void) {
    WCHAR path[MAX_PATH];
    if (!choose_chime_sound(nullptr, path)) return;
    if (PlayOnce(path)) wait_for_chime_end(CHIME_WAIT_LIMIT_MS);
}

void arm_next_chime(void) {
    create_alarm_table();
    if (Settings.Chime)
        schedule_chime(nullptr);
    else
        clear_chime();
    free_alarm_table();
    save_chime_settings();
}

void tell_main_program(void) {
    HWND main = FindWindowW(MAIN_WINDOW, MAIN_WINDOW);
    if (main) PostMessageW(main, MSG_RELOAD_CHIME, 0, 0);
}

}  // namespace

int chime_main(void) {
    load_settings();
    if (!Settings.Silenced) {
        sound_chime();
        // The user may have changed the chime while it sounded; the values
        // saved below must be those, not the ones read before.
        load_settings();
    }
    arm_next_chime();
    tell_main_program();
    return 0;
}

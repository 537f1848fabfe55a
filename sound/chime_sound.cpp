#include "sound/chime_sound.h"

#include "sound/sound_choice.h"
#include "store/settings.h"

bool choose_chime_sound(HWND owner, LPWSTR path) {
    return choose_sound(owner, Settings.ChimeSound, DEFAULT_CHIME_SOUND,
                        L"Can't find the chime sound file %ls.  Please select a valid sound file.", path);
}

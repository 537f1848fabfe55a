// Power and sound: "power on" as when the device is switched on again, and
// the phone's sound profile.
#include <cstdio>
#include <cstring>

#include "platform/audio/device_sound.h"
#include "platform/device/power.h"
#include "tools/velctl/verbs.h"

int verb_power(int argc, char **argv) {
    if (argc != 1 || strcmp(argv[0], "on") != 0) return velctl_usage("power", "expects: on");
    if (!power_record_on()) return velctl_fail("cannot record the power-on in the device");
    printf("power-on %lu recorded\n", power_on_count());
    return VELCTL_OK;
}

int verb_profile(int argc, char **argv) {
    SNDFILEINFO info{};
    if (argc == 0) {
        if (SndGetSound(SND_EVENT_ALL, &info) != S_OK) return velctl_fail("cannot read the sound profile");
        printf("%s\n", info.sstType == SND_SOUNDTYPE_NONE ? "silent" : "on");
        return VELCTL_OK;
    }
    if (argc != 1 || (strcmp(argv[0], "on") != 0 && strcmp(argv[0], "silent") != 0))
        return velctl_usage("profile", "expects nothing, on or silent");
    info.sstType = strcmp(argv[0], "silent") == 0 ? SND_SOUNDTYPE_NONE : SND_SOUNDTYPE_ON;
    if (SndSetSound(SND_EVENT_ALL, &info, TRUE) != S_OK) return velctl_fail("cannot write the sound profile");
    return VELCTL_OK;
}

// The device: one host folder that holds everything a phone would hold.
// Deleting the folder is a factory reset; each test makes its own.
#pragma once

#include <cstdio>

#include "platform/core/types.h"

#define DEVICE_MAX_MOUNTS 8
#define DEVICE_MAX_CARDS 4
#define DEVICE_HOST_PATH 4096

// A host folder shown at a device folder, e.g. the user's music at
// "\My Documents\Music".
struct DeviceMount {
    WCHAR device_folder[MAX_PATH];
    char host_folder[DEVICE_HOST_PATH];
};

// Sound profile values as the phone's sound calls report them.
#define DEVICE_PROFILE_ON 0
#define DEVICE_PROFILE_SILENT 2

// The device clock stays within this many seconds of the host's, either
// way (three hundred years): farther, dates leave what the clock's face and
// the file times of the phone can show.
#define DEVICE_MAX_CLOCK_OFFSET (300LL * 366 * 86400)

struct DeviceSettings {
    int screen_width;          // 240x320, 176x220 or 320x240
    int screen_height;
    long long clock_offset;    // seconds added to the host clock
    char time_zone[64];        // IANA name; empty means the host's own zone
    int sound_profile;         // DEVICE_PROFILE_ON or DEVICE_PROFILE_SILENT
    DWORD wave_volume;         // the wave-out volume word, the output gain
    int mount_count;
    DeviceMount mounts[DEVICE_MAX_MOUNTS];
    int card_count;
    WCHAR cards[DEVICE_MAX_CARDS][MAX_PATH];  // top-level folders that are storage cards
};

// Chooses the device: `root` when given, else $VELMORA_DEVICE, else
// $XDG_DATA_HOME/velmora/device (~/.local/share/velmora/device). The folder and
// its standard folders are created. Returns false when it cannot be created;
// device_error() then says why. Switching devices closes what was open on the
// previous one (registry and other databases).
bool device_open(const char *root);

// Closes everything open on the current device; the next use opens the
// default device again.
void device_close(void);

// Host folder of the device root, opening the default device on first use;
// NULL when it cannot be created.
const char *device_root(void);

// One line saying why the last device operation failed.
const char *device_error(void);

// Records a failure for device_error(); used by the platform's services.
void device_set_error(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Services that keep files of the device open register a hook that closes them
// when another device is chosen.
void device_add_close_hook(void (*hook)(void));

// Host path of a file in the device root, e.g. "registry.db".
bool device_file(const char *name, char *out, size_t cap);

// "\IPSM\Program Files\x" <-> "<root>/IPSM/Program Files/x", honouring mounts.
bool device_host_path(LPCWSTR device_path, char *host, size_t cap);
bool device_path_of(const char *host, LPWSTR device_path, size_t cap);

// Private folder for this device's sockets, mode 0700, under $XDG_RUNTIME_DIR
// (or /tmp), named from a hash of the root so socket paths stay short. A
// folder there that another user made, or that others may enter, is refused
// with a word on stderr, and ~/.cache/velmora/run-<hash> serves instead. NULL
// when no private folder can be had; device_error() says why.
const char *device_runtime_dir(void);

void device_default_settings(DeviceSettings *out);

// The settings as last written; re-read only when the file changed, so it is
// cheap to call often. Never NULL: a missing or unreadable file gives defaults.
const DeviceSettings *device_settings(void);

// Writes the settings atomically; every program of the device sees them.
bool device_save_settings(const DeviceSettings *s);

// A message loop's thread says when it begins handling what woke it (true:
// it woke, or something came in from outside) and when it has nothing left
// (false). While it handles one wake-up, for a few milliseconds at most, its
// reads of the settings share one look at the file (a tick reads the clock,
// the zone and the screen's size); other threads look every time.
void device_settings_turn(bool handling);

// Counts changes of the settings seen by this process, so that services can
// notice a new clock offset or time zone without comparing everything.
unsigned device_settings_generation(void);

// The settings as "name = value" lines, the form of the settings file.
void device_write_settings(const DeviceSettings *s, FILE *out);

// Reads "240x320"; only the screens the phone comes in are accepted.
bool device_parse_screen(const char *text, int *width, int *height);

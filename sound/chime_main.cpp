// The host's entry to Chime: options for people. Velmgr starts it without a
// command line, and nothing else it might be given is read.
#include <cstdio>
#include <cstring>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "sound/chime_program.h"

namespace {

void print_help(FILE *out) {
    fprintf(out,
            "usage: Chime [--device DIR]\n"
            "The Velmora hourly chime. Velmgr starts it when the chime falls due: it plays the\n"
            "chime sound once (unless alarms are silenced), registers the next chime one second\n"
            "after the next full hour (or clears it when the chime is off), saves the chime\n"
            "settings, tells a running Velmora to re-read them, and exits.\n"
            "The device is DIR, else $VELMORA_DEVICE, else ~/.local/share/velmora/device.\n");
}

// Chime has no screen: its boxes also go to stderr, and are answered at once.
int print_box(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    fprintf(stderr, "Chime: [%s] %s\n", plat::to_utf8(caption).c_str(), plat::to_utf8(text).c_str());
    return message_box_default_answer(type);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        print_help(stdout);
        return 0;
    }
    const char *device = argc > 2 && strcmp(argv[1], "--device") == 0 ? argv[2] : nullptr;
    if (!device_open(device)) {
        fprintf(stderr, "Chime: %s\n", device_error());
        return 1;
    }
    message_box_set_presenter(print_box);
    return chime_main();
}

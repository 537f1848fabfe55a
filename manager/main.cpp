// The host's entry to Velmgr: options for people, then the command line the
// notification service or another program gave, as one argument.
#include <cstdio>
#include <cstring>
#include <string>

#include "manager/manager.h"
#include "platform/device/device.h"

namespace {

void print_help(FILE *out) {
    fprintf(out,
            "usage: Velmgr [--device DIR] [COMMAND-LINE]\n"
            "The Velmora alarm manager. The notification service starts it with \"/ID:<n>\" when an\n"
            "alarm (0-9), the countdown (254) or the chime (255) falls due, and with\n"
            "\"AppRunAfterTimeChange\" or \"AppRunAfterTzChange\" after a clock or zone change.\n"
            "Without a command line it stays resident with a hidden window \"Velmgr\" and,\n"
            "unless Velmora runs, registers every alarm and the chime.\n"
            "The device is DIR, else $VELMORA_DEVICE, else ~/.local/share/velmora/device.\n");
}

}  // namespace

int main(int argc, char **argv) {
    const char *device = nullptr;
    int i = 1;
    if (i < argc && (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0)) {
        print_help(stdout);
        return 0;
    }
    if (i + 1 < argc && strcmp(argv[i], "--device") == 0) {
        device = argv[i + 1];
        i += 2;
    }
    if (argc > i + 1) {
        print_help(stderr);
        return 2;
    }
    if (!device_open(device)) {
        fprintf(stderr, "Velmgr: %s\n", device_error());
        return 1;
    }
    // Unreachable, it still hands events on by starting the clock.
    if (!device_runtime_dir()) fprintf(stderr, "Velmgr: %s\n", device_error());
    std::wstring line = i < argc ? plat::from_utf8(argv[i]) : std::wstring();
    return manager_main(nullptr, nullptr, i < argc ? line.data() : nullptr, 0);
}

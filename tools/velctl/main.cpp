// velctl: device control for people and tests.
#include <cstdio>
#include <cstring>

#include "platform/device/device.h"
#include "tools/velctl/verbs.h"

namespace {

void print_help(FILE *out) {
    fprintf(out,
            "usage: velctl [--device DIR] VERB [WORDS...]\n"
            "Controls a Velmora device: its settings, registry, clock and screen.\n"
            "The device is DIR, else $VELMORA_DEVICE, else ~/.local/share/velmora/device.\n\n"
            "verbs:\n");
    for (const VelctlVerb *v = VELCTL_VERBS; v->name; v++) fprintf(out, "  %-14s %s\n", v->name, v->summary);
    fprintf(out, "\n'velctl VERB --help' tells more.\n");
}

}  // namespace

int main(int argc, char **argv) {
    const char *device = nullptr;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            print_help(stdout);
            return VELCTL_OK;
        }
        if (strcmp(argv[i], "--device") == 0 && i + 1 < argc) {
            device = argv[++i];
            // An empty name would quietly mean the default device.
            if (!*device) {
                fprintf(stderr, "velctl: --device needs a folder\n");
                return VELCTL_USAGE;
            }
            continue;
        }
        fprintf(stderr, "velctl: unknown option %s\n", argv[i]);
        print_help(stderr);
        return VELCTL_USAGE;
    }
    if (i >= argc) {
        print_help(stderr);
        return VELCTL_USAGE;
    }
    for (const VelctlVerb *v = VELCTL_VERBS; v->name; v++) {
        if (strcmp(v->name, argv[i]) != 0) continue;
        if (velctl_wants_help(v->name, argc - i - 1, argv + i + 1)) return VELCTL_OK;
        if (!device_open(device)) return velctl_fail("%s", device_error());
        return v->run(argc - i - 1, argv + i + 1);
    }
    fprintf(stderr, "velctl: unknown verb '%s'\n", argv[i]);
    print_help(stderr);
    return VELCTL_USAGE;
}

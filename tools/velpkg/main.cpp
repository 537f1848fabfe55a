// velpkg, the device's package installer, for people, the build and tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/device/device.h"
#include "tools/velpkg/velpkg.h"

namespace {

struct Verb {
    const char *name;
    int args;
    const char *usage;
    const char *summary;
};

const Verb VERBS[] = {
    {"install", 1, "install FILE",
     "install the package FILE into the device; over an installed version it is an upgrade that keeps the user's "
     "settings and alarms"},
    {"remove", 1, "remove NAME",
     "remove the installed package NAME: its files, registry values and shortcuts, never the user's settings, "
     "alarms or documents"},
    {"list", 0, "list", "list the installed packages: name, version, vendor, install folder (tab-separated)"},
    {"pack", 3, "pack MANIFEST FOLDER OUTPUT",
     "make a package from MANIFEST, whose members are files in FOLDER, into OUTPUT"},
};

void print_verb(FILE *out, const Verb &v) {
    fprintf(out, "  velpkg [--device DIR] %s\n      %s\n", v.usage, v.summary);
}

int usage(FILE *out, int code) {
    fprintf(out, "usage:\n");
    for (const Verb &v : VERBS) print_verb(out, v);
    fprintf(out,
            "The device is DIR, else $VELMORA_DEVICE, else ~/.local/share/velmora/device.\n"
            "A failed install or removal leaves the device as it was and says why in one line.\n");
    return code;
}

const Verb *find_verb(const char *name) {
    for (const Verb &v : VERBS)
        if (strcmp(v.name, name) == 0) return &v;
    return nullptr;
}

bool asks_help(int argc, char **argv) {
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return true;
    return false;
}

// The setup library holds its own copy of the platform: it finds the device
// through the environment, as the programs it starts do.
bool open_device(const char *dir) {
    if (!device_open(dir) || !device_root()) {
        fprintf(stderr, "velpkg: %s\n", device_error());
        return false;
    }
    setenv("VELMORA_DEVICE", device_root(), 1);
    return true;
}

int run(const Verb &v, char **args) {
    if (strcmp(v.name, "install") == 0) return install_package(args[0]);
    if (strcmp(v.name, "remove") == 0) return remove_package(args[0]);
    if (strcmp(v.name, "list") == 0) return list_packages();
    return pack_package(args[0], args[1], args[2]);
}

}  // namespace

int main(int argc, char **argv) {
    int i = 1;
    const char *device = nullptr;
    if (i + 1 < argc && strcmp(argv[i], "--device") == 0) {
        device = argv[i + 1];
        i += 2;
    }
    const Verb *v = i < argc ? find_verb(argv[i]) : nullptr;
    if (asks_help(argc, argv)) {
        if (!v) return usage(stdout, 0);
        print_verb(stdout, *v);
        return 0;
    }
    if (!v) {
        if (i < argc) fprintf(stderr, "velpkg: unknown verb %s\n", argv[i]);
        return usage(stderr, 2);
    }
    if (argc - i - 1 != v->args) {
        fprintf(stderr, "velpkg %s: wrong number of arguments\nusage:\n", v->name);
        print_verb(stderr, *v);
        return 2;
    }
    if (strcmp(v->name, "pack") != 0 && !open_device(device)) return 1;
    return run(*v, argv + i + 1);
}

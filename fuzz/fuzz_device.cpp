#include "fuzz/fuzz_device.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/shell/message_box_testing.h"
#include "platform/device/device.h"
#include "platform/shell/message_box.h"

namespace {

std::string made;

void remove_device() {
    nftw(
        made.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

std::string make_device() {
    char pattern[] = "/tmp/velmora-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || !device_open(pattern)) abort();
    made = pattern;
    atexit(remove_device);
    message_box_set_headless(true);
    for (const char *name : {"a.mp3", "b.ogg", "c.wav", "d.wma", "Storage Card/e.mp3"}) {
        FILE *f = fopen((std::string(pattern) + "/" + name).c_str(), "w");
        if (f) fclose(f);
    }
    return pattern;
}

const std::string &root() {
    static std::string r = make_device();
    return r;
}

}  // namespace

std::string fuzz_device_file(const char *name) { return root() + "/" + name; }

void fuzz_device_tidy() {
    static unsigned runs = 0;
    if (++runs % 4096 == 0) unlink((root() + "/journal.log").c_str());
}

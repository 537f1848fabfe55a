#include "fuzz/fuzz_device.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/device.h"
#include "platform/message_box.h"

namespace {

std::string make_device() {
    char pattern[] = "/tmp/velmora-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || !device_open(pattern)) abort();
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

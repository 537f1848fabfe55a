// The device journal: message boxes and dropped notification requests.
#include <cstdio>

#include "platform/device/device.h"
#include "tools/velctl/verbs.h"

int verb_journal(int argc, char **) {
    if (argc != 0) return velctl_usage("journal", "takes no words");
    char path[DEVICE_HOST_PATH];
    if (!device_file("journal.log", path, sizeof path)) return velctl_fail("%s", device_error());
    FILE *f = fopen(path, "r");
    if (!f) return VELCTL_OK;  // nothing written yet
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) fwrite(buf, 1, n, stdout);
    fclose(f);
    return VELCTL_OK;
}

#include <cstdio>

#include "platform/device/device.h"
#include "tools/velctl/verbs.h"

int verb_device(int argc, char **) {
    if (argc != 0) return velctl_usage("device", "takes no words");
    const char *root = device_root();
    if (!root) return velctl_fail("%s", device_error());
    printf("root = %s\n", root);
    device_write_settings(device_settings(), stdout);
    return VELCTL_OK;
}

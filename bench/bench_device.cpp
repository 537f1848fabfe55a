#include "bench/bench_device.h"

#include <ftw.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "platform/device/device.h"

namespace {

std::string root;

// Only the files: the platform's own records are gone by the time exit
// handlers run.
void remove_root() {
    nftw(
        root.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

}  // namespace

std::string bench_device_open() {
    char pattern[] = "/tmp/velmora-bench-XXXXXX";
    if (!mkdtemp(pattern) || !device_open(pattern)) {
        fprintf(stderr, "cannot make a scratch device\n");
        exit(1);
    }
    root = pattern;
    atexit(remove_root);
    return root;
}

std::string bench_host_path(const wchar_t *device_path) {
    char host[DEVICE_HOST_PATH];
    if (!device_host_path(device_path, host, sizeof host)) exit(1);
    std::string path = host;
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    return path;
}

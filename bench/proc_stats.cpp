#include "proc_stats.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

// Hands each line of /proc/<pid>/<file> to `take` until it accepts one.
bool read_proc(pid_t pid, const char *file, const std::function<bool(char *)> &take) {
    std::string path = "/proc/" + std::to_string(pid) + "/" + file;
    FILE *f = fopen(path.c_str(), "r");
    if (!f) return false;
    char line[2048];
    bool taken = false;
    while (!taken && fgets(line, sizeof line, f)) taken = take(line);
    fclose(f);
    return taken;
}

}  // namespace

double cpu_seconds(pid_t pid) {
    unsigned long utime = 0, stime = 0;
    // utime and stime are the 14th and 15th fields, after the name's ')'.
    bool ok = read_proc(pid, "stat", [&](char *line) {
        char *p = strrchr(line, ')');
        return p && sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) == 2;
    });
    return ok ? double(utime + stime) / double(sysconf(_SC_CLK_TCK)) : -1;
}

long resident_kb(pid_t pid) {
    long kb = -1;
    bool ok = read_proc(pid, "status", [&](char *line) { return sscanf(line, "VmRSS: %ld kB", &kb) == 1; });
    return ok ? kb : -1;
}

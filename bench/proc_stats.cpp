#include "proc_stats.h"

#include <dirent.h>
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

long wake_ups(pid_t pid) {
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *d = opendir(tasks.c_str());
    if (!d) return -1;
    long total = 0;
    while (struct dirent *e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::string file = std::string("task/") + e->d_name + "/status";
        read_proc(pid, file.c_str(), [&](char *line) {
            long n;
            if (sscanf(line, "voluntary_ctxt_switches: %ld", &n) == 1 ||
                sscanf(line, "nonvoluntary_ctxt_switches: %ld", &n) == 1)
                total += n;
            return false;
        });
    }
    closedir(d);
    return total;
}

long proportional_kb(pid_t pid) {
    long kb = -1;
    bool ok = read_proc(pid, "smaps_rollup", [&](char *line) { return sscanf(line, "Pss: %ld kB", &kb) == 1; });
    return ok ? kb : -1;
}

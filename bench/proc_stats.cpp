#include "proc_stats.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

namespace {

// Hands each line of every thread's /proc/<pid>/task/<tid>/<file> to `take`;
// false when the threads cannot be listed.
bool read_threads(pid_t pid, const char *file, const std::function<bool(char *)> &take) {
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *d = opendir(tasks.c_str());
    if (!d) return false;
    while (struct dirent *e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::string path = std::string("task/") + e->d_name + "/" + file;
        read_proc(pid, path.c_str(), take);
    }
    closedir(d);
    return true;
}

}  // namespace

long wake_ups(pid_t pid) {
    long total = 0;
    bool ok = read_threads(pid, "status", [&](char *line) {
        long n;
        if (sscanf(line, "voluntary_ctxt_switches: %ld", &n) == 1) total += n;
        return false;
    });
    return ok ? total : -1;
}

double on_cpu_seconds(pid_t pid) {
    double total = 0;
    bool ok = read_threads(pid, "schedstat", [&](char *line) {
        total += atof(line) / 1e9;
        return true;
    });
    return ok ? total : -1;
}

long proportional_kb(pid_t pid) {
    long kb = -1;
    bool ok = read_proc(pid, "smaps_rollup", [&](char *line) { return sscanf(line, "Pss: %ld kB", &kb) == 1; });
    return ok ? kb : -1;
}

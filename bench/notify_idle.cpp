// An idle notifyd with ten requests pending far ahead: how often it and its
// waiting launcher wake (context switches from /proc/<pid>/status) and how
// much memory they hold. Usage: notify_idle [SECONDS] (default 60).
#include <unistd.h>

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

long status_field(int pid, const char *name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    size_t n = strlen(name);
    while (std::getline(in, line))
        if (line.compare(0, n, name) == 0 && line.size() > n && line[n] == ':') return atol(line.c_str() + n + 1);
    return -1;
}

// The service's children: its waiting launcher.
std::vector<int> children_of(int pid) {
    std::vector<int> out;
    DIR *d = opendir("/proc");
    while (struct dirent *e = d ? readdir(d) : nullptr) {
        int child = atoi(e->d_name);
        if (child > 0 && status_field(child, "PPid") == pid) out.push_back(child);
    }
    if (d) closedir(d);
    return out;
}

long wake_ups(int pid) {
    return status_field(pid, "voluntary_ctxt_switches") + status_field(pid, "nonvoluntary_ctxt_switches");
}

}  // namespace

int main(int argc, char **argv) {
    int seconds = argc > 1 ? atoi(argv[1]) : 60;
    if (seconds <= 0) {
        fputs("usage: notify_idle [SECONDS]\n", stderr);
        return 2;
    }
    std::string root = make_temp_folder("bench");
    const wchar_t *program = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    if (!device_open(root.c_str()) || !install_recorder(program) || !start_service()) {
        fprintf(stderr, "notify_idle: cannot set up a device with notifyd: %s\n", device_error());
        return 1;
    }
    for (int i = 0; i < 10; i++) add_request(program, L"/ID:1", local_in((i + 1) * 3600LL * 1000), 5);
    int pid = service_pid();
    sleep(1);  // let it take in the last poke
    std::vector<int> launchers = children_of(pid);
    long before = wake_ups(pid), launcher_before = 0, launcher_after = 0, launcher_rss = 0;
    for (int l : launchers) launcher_before += wake_ups(l);
    sleep(unsigned(seconds));
    long after = wake_ups(pid);
    for (int l : launchers) launcher_after += wake_ups(l), launcher_rss += status_field(l, "VmRSS");
    long rss = status_field(pid, "VmRSS"), hwm = status_field(pid, "VmHWM");
    kill_service();
    remove_tree(device_runtime_dir());
    remove_tree(root);
    printf("idle %d s with 10 requests pending: %ld wake-ups (context switches)\n", seconds, after - before);
    printf("resident memory: %ld kB (peak %ld kB)\n", rss, hwm);
    printf("waiting launchers %zu: %ld wake-ups, resident memory %ld kB\n", launchers.size(),
           launcher_after - launcher_before, launcher_rss);
    return after - before == 0 && launcher_after == launcher_before ? 0 : 1;
}

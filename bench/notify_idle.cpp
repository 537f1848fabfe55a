// An idle notifyd with ten requests pending far ahead: how often it wakes
// (context switches from /proc/<pid>/status) and how much memory it holds.
// Usage: notify_idle [SECONDS] (default 60).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/device.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

static long status_field(int pid, const char *name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    size_t n = strlen(name);
    while (std::getline(in, line))
        if (line.compare(0, n, name) == 0 && line.size() > n && line[n] == ':') return atol(line.c_str() + n + 1);
    return -1;
}

int main(int argc, char **argv) {
    int seconds = argc > 1 ? atoi(argv[1]) : 60;
    if (seconds <= 0) return fprintf(stderr, "usage: notify_idle [SECONDS]\n"), 2;
    std::string root = make_temp_folder("bench");
    const wchar_t *program = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    if (!device_open(root.c_str()) || !install_recorder(program) || !start_service()) {
        fprintf(stderr, "notify_idle: cannot set up a device with notifyd: %s\n", device_error());
        return 1;
    }
    for (int i = 0; i < 10; i++) add_request(program, L"/ID:1", local_in((i + 1) * 3600LL * 1000), 5);
    int pid = service_pid();
    sleep(1);  // let it take in the last poke
    long before = status_field(pid, "voluntary_ctxt_switches") + status_field(pid, "nonvoluntary_ctxt_switches");
    sleep(unsigned(seconds));
    long after = status_field(pid, "voluntary_ctxt_switches") + status_field(pid, "nonvoluntary_ctxt_switches");
    long rss = status_field(pid, "VmRSS"), hwm = status_field(pid, "VmHWM");
    kill_service();
    remove_tree(device_runtime_dir());
    remove_tree(root);
    printf("idle %d s with 10 requests pending: %ld wake-ups (context switches)\n", seconds, after - before);
    printf("resident memory: %ld kB (peak %ld kB)\n", rss, hwm);
    return after - before == 0 ? 0 : 1;
}

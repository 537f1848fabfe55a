#include "tests/support/device_processes.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/device/device.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

bool is_zombie(int pid) {
    std::string stat = read_whole_file("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(')');
    return stat.empty() || close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z';
}

// The device's own programs, or programs told to use the device.
bool of_device(int pid, const std::string &root) {
    std::string proc = "/proc/" + std::to_string(pid);
    char exe[PATH_MAX];
    ssize_t n = readlink((proc + "/exe").c_str(), exe, sizeof exe - 1);
    if (n > 0 && std::string(exe, size_t(n)).compare(0, root.size() + 1, root + "/") == 0) return true;
    std::string env = '\0' + read_whole_file(proc + "/environ");
    return env.find('\0' + ("VELMORA_DEVICE=" + root) + '\0') != std::string::npos;
}

}  // namespace

std::vector<int> device_processes(void) {
    std::vector<int> found;
    std::string root = device_root();
    DIR *d = opendir("/proc");
    if (!d) return found;
    while (struct dirent *e = readdir(d)) {
        int pid = atoi(e->d_name);
        if (pid > 0 && pid != getpid() && of_device(pid, root) && !is_zombie(pid)) found.push_back(pid);
    }
    closedir(d);
    return found;
}

std::vector<int> device_processes_of(const std::string &exe) {
    std::vector<int> found;
    char target[PATH_MAX];
    for (int pid : device_processes()) {
        ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, size_t(n)) == exe) found.push_back(pid);
    }
    return found;
}

std::vector<std::string> process_arguments(int pid) {
    std::string all = read_whole_file("/proc/" + std::to_string(pid) + "/cmdline");
    std::vector<std::string> args;
    std::istringstream in(all);
    for (std::string word; std::getline(in, word, '\0');) args.push_back(word);
    if (!args.empty()) args.erase(args.begin());
    return args;
}

bool process_gone(int pid, int timeout_ms) {
    for (long long until = host_now_ms() + timeout_ms;; usleep(10000)) {
        if (kill(pid, 0) != 0 || is_zombie(pid)) return true;
        if (host_now_ms() > until) return false;
    }
}

bool end_device_processes(void) {
    // A process being started as the others die (a launcher's program, a
    // service a registration starts) shows up a moment later: the device is
    // quiet only when nothing is found twice, 200 ms apart.
    long long quiet_since = -1;
    for (long long until = host_now_ms() + 5000; host_now_ms() < until; usleep(20000)) {
        std::vector<int> left = device_processes();
        for (int pid : left) kill(pid, SIGKILL);
        if (!left.empty()) quiet_since = -1;
        else if (quiet_since < 0) quiet_since = host_now_ms();
        else if (host_now_ms() - quiet_since >= 200) return true;
    }
    return false;
}

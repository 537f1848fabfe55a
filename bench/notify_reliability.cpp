// Reliability of the notification service: four processes register,
// replace and clear requests while notifyd is killed with SIGKILL and
// restarted again and again. Afterwards every request that should have fired
// fired exactly once and not before its due time, and no replaced or cleared
// request fired. Usage: notify_reliability [KILLS] (default 100).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *PROGRAM = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr int WORKERS = 4;

struct Expectation {
    long long due_host_ms;
    bool fires;
};

struct Live {
    HANDLE handle;
    std::string tag;
    long long due_host_ms;
};

std::string stop_file() { return std::string(device_root()) + "/IPSM/stop"; }

CE_NOTIFICATION_TRIGGER trigger_for(const std::wstring &tag, long long in_ms, SYSTEMTIME &at, long long &due_host) {
    static std::wstring args;
    args = tag;
    at = local_in(in_ms);
    due_host = clock_utc_for_local(clock_ms_from_systemtime(&at)) - device_settings()->clock_offset * 1000;
    CE_NOTIFICATION_TRIGGER t{};
    t.dwSize = sizeof t;
    t.dwType = CNT_TIME;
    t.lpszApplication = const_cast<WCHAR *>(PROGRAM);
    t.lpszArguments = args.data();
    t.stStartTime = at;
    clock_systemtime_from_ms(clock_ms_from_systemtime(&at) + 5 * 60000LL, &t.stEndTime);
    return t;
}

// One worker: its expectations go to IPSM/expect-<w>.log as
// "tag due_host_ms fire|never".
void work(int w) {
    std::mt19937 rng(unsigned(w * 7919 + 1));
    std::ofstream out(std::string(device_root()) + "/IPSM/expect-" + std::to_string(w) + ".log");
    std::vector<Live> live;
    auto expect = [&](const Live &l, bool fires) { out << l.tag << ' ' << l.due_host_ms << ' ' << (fires ? "fire" : "never") << '\n'; };
    for (int op = 0; access(stop_file().c_str(), F_OK) != 0; op++) {
        std::string tag = "w" + std::to_string(w) + "-" + std::to_string(op);
        std::wstring wtag(tag.begin(), tag.end());
        int pick = int(rng() % 10);
        long long in_ms = 300 + (long long)(rng() % 2200);
        SYSTEMTIME at;
        long long due;
        if (live.empty() || pick < 5) {
            CE_NOTIFICATION_TRIGGER t = trigger_for(wtag, in_ms, at, due);
            if (HANDLE h = CeSetUserNotificationEx(nullptr, &t, nullptr)) live.push_back(Live{h, tag, due});
        } else if (pick < 8) {
            Live &l = live[rng() % live.size()];
            CE_NOTIFICATION_TRIGGER t = trigger_for(wtag, in_ms, at, due);
            HANDLE h = CeSetUserNotificationEx(l.handle, &t, nullptr);
            expect(l, h == nullptr);  // replaced, or it had fired already
            if (!h) h = CeSetUserNotificationEx(nullptr, &t, nullptr);
            l = Live{h, tag, due};
        } else {
            size_t i = rng() % live.size();
            expect(live[i], !CeClearUserNotification(live[i].handle));
            live.erase(live.begin() + long(i));
        }
        usleep(5000 + rng() % 10000);
    }
    for (const Live &l : live)
        if (l.handle) expect(l, true);
}

std::map<std::string, Expectation> read_expectations() {
    std::map<std::string, Expectation> all;
    for (int w = 0; w < WORKERS; w++) {
        std::ifstream in(std::string(device_root()) + "/IPSM/expect-" + std::to_string(w) + ".log");
        std::string tag, state;
        long long due;
        while (in >> tag >> due >> state) all[tag] = Expectation{due, state == "fire"};
    }
    return all;
}

}  // namespace

int main(int argc, char **argv) {
    int kills = argc > 1 ? atoi(argv[1]) : 100;
    std::string root = make_temp_folder("bench");
    if (!device_open(root.c_str()) || !install_recorder(PROGRAM) || !start_service()) {
        fprintf(stderr, "notify_reliability: cannot set up a device with notifyd: %s\n", device_error());
        return 1;
    }
    use_built_service(true);
    std::vector<pid_t> workers;
    for (int w = 0; w < WORKERS; w++) {
        pid_t pid = fork();
        if (pid == 0) {
            work(w);
            _exit(0);
        }
        workers.push_back(pid);
    }
    std::mt19937 rng(42);
    int restarted = 0;
    for (int k = 0; k < kills; k++) {
        usleep(20000 + rng() % 60000);
        if (kill_service() && start_service()) restarted++;
    }
    std::ofstream(stop_file()) << "stop\n";
    for (pid_t pid : workers) waitpid(pid, nullptr, 0);
    start_service();

    auto expected = read_expectations();
    size_t should_fire = 0;
    for (auto &e : expected) should_fire += e.second.fires;
    auto records = wait_for_records(should_fire, 15000);
    usleep(500000);  // anything doubled or wrongly fired shows up by now
    records = read_records();

    std::map<std::string, int> fired;
    int early = 0, unknown = 0;
    for (const Record &r : records) {
        fired[r.argument]++;
        auto it = expected.find(r.argument);
        if (it == expected.end()) unknown++;
        else if (r.started_ns / 1000000 < it->second.due_host_ms) early++;
    }
    int lost = 0, doubled = 0, wrongly = 0;
    for (auto &e : expected) {
        int n = fired.count(e.first) ? fired[e.first] : 0;
        if (e.second.fires && n == 0 && ++lost <= 10) printf("lost %s\n", e.first.c_str());
        if (n > 1) doubled++;
        if (!e.second.fires && n > 0) wrongly++;
    }
    kill_service();
    remove_tree(device_runtime_dir());
    remove_tree(root);
    printf("kills and restarts %d/%d; requests %zu, due to fire %zu, started %zu\n", restarted, kills, expected.size(),
           should_fire, records.size());
    printf("lost %d, fired twice %d, early %d, fired after replace or clear %d, unknown %d\n", lost, doubled, early,
           wrongly, unknown);
    return lost + doubled + early + wrongly + unknown == 0 ? 0 : 1;
}

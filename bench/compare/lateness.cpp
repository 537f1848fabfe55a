// (a) How late notifyd starts a due program, beside the floor program doing
// the same with a bare timerfd and posix_spawn, alternately request by
// request, with 0, 1,000 and 10,000 requests pending far ahead; how soon a
// restarted notifyd has its timer armed with 10,000 pending; how often files
// written beside the watched ones wake it.
#include <dirent.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/bench_device.h"
#include "bench/compare/compare.h"
#include "bench/notify_requests.h"
#include "bench/proc_stats.h"
#include "platform/core/text.h"
#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/notify/notify_db.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *PROGRAM = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr double SPACING_MS = 120;  // each start measured on its own
// Starts of each side made before the counted ones, so that both find the
// recorder, the libraries and the database in the page cache.
constexpr int WARM_UP = 4;
constexpr double LEAD_MS = 1500;  // from writing the requests to the first due
constexpr int RESTARTS = 15;  // the median of these is quoted

// Requests due in a year, so that they stay pending.
bool fill_pending(int from, int to) {
    long long start = clock_local_ms(clock_utc_ms()) + 365LL * 86400 * 1000;
    std::vector<StoredRequest> requests;
    for (int i = from; i < to; i++)
        requests.push_back(StoredRequest{1000000 + i, start + i * 1000LL, "pending-" + std::to_string(i)});
    return bench_store_requests(PROGRAM, requests);
}

// The device's local time of a host instant, in ms.
long long local_of_host(long long host_ms) { return clock_local_ms(host_ms + device_settings()->clock_offset * 1000); }

struct Lateness {
    std::vector<double> ours, floor;
};

// Alternate requests of the floor program and of notifyd, every SPACING_MS
// from the floor's first; lateness in ms from each due time to the
// recorder's first instruction, the warm-up starts left out. Nothing of the
// benchmark runs meanwhile: the records are read once the last is due.
Lateness measure_round(int rounds, const std::string &record, long long *next_handle) {
    Lateness l;
    char recorder[DEVICE_HOST_PATH];  // the very file notifyd starts
    if (!device_host_path(PROGRAM, recorder, sizeof recorder)) return l;
    unlink(record.c_str());
    int slots = 2 * (rounds + WARM_UP);
    long long base = (long long)(realtime_ms() + LEAD_MS);
    std::vector<std::string> floor_args = {COMPARE_FLOOR, recorder};
    std::vector<StoredRequest> ours;
    std::vector<long long> due(static_cast<size_t>(slots));
    for (int i = 0; i < slots; i++) {
        due[size_t(i)] = base + (long long)(SPACING_MS * i);
        if (i % 2 == 0)
            floor_args.push_back(std::to_string(due[size_t(i)]) + ":floor-" + std::to_string(i));
        else
            ours.push_back(StoredRequest{(*next_handle)++, local_of_host(due[size_t(i)]), "ours-" + std::to_string(i)});
    }
    if (!bench_store_requests(PROGRAM, ours)) return l;
    // The environment notifyd gives the programs it starts.
    pid_t floor = spawn_with(floor_args, {std::string("VELMORA_DEVICE=") + device_root()});
    sleep_ms(double(due.back()) - realtime_ms() + 500);
    auto seen = wait_for_records(size_t(slots), 5000);
    if (floor > 0) waitpid(floor, nullptr, 0);
    for (const Record &r : seen) {
        size_t dash = r.argument.find('-');
        if (dash == std::string::npos) continue;
        int i = atoi(r.argument.c_str() + dash + 1);
        if (i < 2 * WARM_UP || i >= slots) continue;
        double late = double(r.started_ns) / 1e6 - double(due[size_t(i)]);
        (r.argument[0] == 'o' ? l.ours : l.floor).push_back(late);
    }
    return l;
}

void add_lateness_rows(const Lateness &l, int pending, int rounds, std::vector<CompareRow> &rows) {
    for (double p : {0.50, 0.99}) {
        CompareRow row;
        row.what = "lateness p" + std::to_string(int(p * 100)) + " ms, " + std::to_string(pending) + " pending";
        row.whose = "floor";
        row.most = 1.25;
        if (l.ours.size() == size_t(rounds) && l.floor.size() == size_t(rounds)) {
            row.ours = percentile(l.ours, p);
            row.theirs = percentile(l.floor, p);
        } else {
            row.missing = "started " + std::to_string(l.ours.size()) + " of ours, " + std::to_string(l.floor.size()) +
                          " of the floor's " + std::to_string(rounds);
        }
        rows.push_back(row);
    }
}

// Whether a timerfd of the process is armed: its fdinfo says when it fires.
bool timer_armed(pid_t pid) {
    std::string fds = "/proc/" + std::to_string(pid) + "/fdinfo";
    DIR *d = opendir(fds.c_str());
    bool armed = false;
    while (struct dirent *e = d && !armed ? readdir(d) : nullptr) {
        std::ifstream in(fds + "/" + e->d_name);
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("it_value:", 0) == 0 && line.find("(0, 0)") == std::string::npos) armed = true;
    }
    if (d) closedir(d);
    return armed;
}

// From the start of the program to its timer armed, in ms; -1 after 5 s.
double start_to_armed(const std::vector<std::string> &words) {
    double started = monotonic_ms();
    pid_t pid = spawn_with(words, {});
    if (pid < 0) return -1;
    double took = -1;
    while (took < 0 && monotonic_ms() - started < 5000)
        if (timer_armed(pid)) took = monotonic_ms() - started;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return took;
}

void add_restart_row(int pending, std::vector<CompareRow> &rows) {
    std::vector<double> ours, floor;
    std::string far = std::to_string((long long)realtime_ms() + 3600 * 1000) + ":never";
    for (int i = 0; i < RESTARTS; i++) {
        kill_service();
        ours.push_back(start_to_armed({built_notifyd(), "--device", device_root()}));
        floor.push_back(start_to_armed({COMPARE_FLOOR, VELMORA_RECORDER, far}));
    }
    kill_service();
    CompareRow row;
    row.what = "restart to timer armed ms, " + std::to_string(pending) + " pending";
    row.ours = percentile(ours, 0.5);
    row.theirs = percentile(floor, 0.5);
    row.whose = "floor";
    row.most_ours = 10;
    rows.push_back(row);
}

// Files written beside the watched ones: in the device root and in the
// folder of the host's zone file (when this user may write there).
int write_unrelated(const std::string &folder, const char *tag) {
    int written = 0;
    for (int i = 0; i < 100; i++) {
        std::string path = folder + "/.velmora-compare-" + tag + "-" + std::to_string(i);
        std::ofstream(path) << "unrelated";
        written += unlink(path.c_str()) == 0;
    }
    return written;
}

void add_unrelated_row(std::vector<CompareRow> &rows) {
    CompareRow row;
    row.what = "notifyd wake-ups, 100 files in root and /etc";
    row.most_ours = 0;
    if (!start_service()) {
        row.missing = "notifyd did not start";
        rows.push_back(row);
        return;
    }
    int pid = service_pid();
    sleep_ms(300);
    long before = wake_ups(pid);
    int root = write_unrelated(device_root(), "root");
    int etc = write_unrelated("/etc", "etc");
    sleep_ms(300);
    row.ours = double(wake_ups(pid) - before);
    if (root != 100) row.missing = "could not write in the device root";
    if (etc != 100) row.what = "notifyd wake-ups, 100 files in root (/etc not writable)";
    rows.push_back(row);
}

// Keeps this process, and so every process it starts from now on, on one
// CPU (none when `cpu` is -2); returns the placement it had, to put back.
cpu_set_t run_on_one_cpu(int cpu) {
    cpu_set_t before, one;
    sched_getaffinity(0, sizeof before, &before);
    if (cpu == -2) return before;
    if (cpu < 0) cpu = int(sysconf(_SC_NPROCESSORS_ONLN)) - 1;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) fprintf(stderr, "compare: cannot run on CPU %d\n", cpu);
    return before;
}

}  // namespace

void compare_lateness(const CompareOptions &o, std::vector<CompareRow> &rows) {
    cpu_set_t placement = run_on_one_cpu(o.cpu);
    std::string root = make_temp_folder("compare");
    std::string record = root + "/record.log";
    setenv("VELMORA_RECORD", record.c_str(), 1);
    DeviceSettings settings;
    device_default_settings(&settings);
    // A device whose settings were saved once: device.conf is watched itself.
    if (!device_open(root.c_str()) || !device_save_settings(&settings) || !install_recorder(PROGRAM) ||
        !start_service()) {
        fprintf(stderr, "compare: cannot set up a device with notifyd: %s\n", device_error());
    } else {
        int filled = 0;
        long long handle = 2000000;
        for (int pending : {0, 1000, 10000}) {
            if (!fill_pending(filled, pending)) fprintf(stderr, "compare: cannot register %d requests\n", pending);
            filled = pending;
            add_lateness_rows(measure_round(o.rounds, record, &handle), pending, o.rounds, rows);
        }
        // The restart is watched by polling its timer: on one CPU the poll
        // would take the CPU from the very start it times.
        sched_setaffinity(0, sizeof placement, &placement);
        add_restart_row(filled, rows);
        add_unrelated_row(rows);
        kill_service();
    }
    unsetenv("VELMORA_RECORD");
    bench_remove_device(root);
    sched_setaffinity(0, sizeof placement, &placement);
}

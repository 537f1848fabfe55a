// From an alarm's due time to its first ringing sample written to the
// output, with real processes on a temporary device: notifyd starts Velmgr
// at the due time, Velmgr hands the alarm to the clock, the clock beeps,
// waits and rings. The fixed waits (Velmgr's 3 s before it hands the event
// on, the dispatch's 1 s after the beep) are taken off.
//   ringing_due_latency running|cold [RUNS]   (default 20)
// running: the clock runs all along; cold: nothing runs but notifyd, so
// Velmgr and the clock start for each alarm.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "store/alarms.h"
#include "tests/support/live_service.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *MAIN = L"\\IPSM\\Program Files\\Velmora\\Velmora.exe";
constexpr long long FIXED_WAITS_MS = 3000 + 1000;
constexpr long long DUE_IN_MS = 1500;
// The beep comes first; the ringing is the first sound after a pause this long.
constexpr long long PAUSE_MS = 500;
constexpr int WAV_HEADER = 44;

bool window_up(const wchar_t *name) { return FindWindowW(name, name) != nullptr; }

bool wait_for(bool want_up, const wchar_t *name, int timeout_ms) {
    for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(5000))
        if (window_up(name) == want_up) return true;
    return false;
}

void close_window(const wchar_t *name) {
    if (HWND w = FindWindowW(name, name)) PostMessageW(w, WM_CLOSE, 0, 0);
    wait_for(false, name, 10000);
}

// Follows the capture as the clock writes it; the host time at which the
// first ringing sample appeared, 0 when none came before `until`.
long long first_ringing_sample(const std::string &capture, long long until) {
    int fd = -1;
    off_t offset = WAV_HEADER;
    long long last_sound = 0;
    for (; host_now_ms() < until; usleep(1000)) {
        if (fd < 0 && (fd = open(capture.c_str(), O_RDONLY | O_CLOEXEC)) < 0) continue;
        struct stat st;
        if (fstat(fd, &st) != 0) break;
        if (st.st_size < offset) offset = WAV_HEADER;  // opened afresh for the ringing
        int16_t samples[4096];
        ssize_t got = pread(fd, samples, std::min<off_t>(sizeof samples, (st.st_size - offset) & ~off_t(1)), offset);
        if (got <= 0) continue;
        offset += got;
        bool sound = std::any_of(samples, samples + got / 2, [](int16_t s) { return s != 0; });
        if (!sound) continue;
        long long now = host_now_ms();
        if (last_sound != 0 && now - last_sound >= PAUSE_MS) {
            close(fd);
            return now;
        }
        last_sound = now;
    }
    if (fd >= 0) close(fd);
    return 0;
}

// One alarm due DUE_IN_MS from now; its latency in ms, or -1.
double one_alarm(const std::string &capture) {
    unlink(capture.c_str());
    long long now = clock_utc_ms();
    SYSTEMTIME due;
    clock_systemtime_from_ms(clock_local_ms(now + DUE_IN_MS), &due);
    long long due_host = now + DUE_IN_MS - device_settings()->clock_offset * 1000;
    if (!add_request(MANAGER, L"/ID:0", due, 5)) return -1;
    long long rang = first_ringing_sample(capture, due_host + FIXED_WAITS_MS + 20000);
    if (!rang) return -1;
    run_velctl({"key", "soft2"});
    std::string front;
    for (int i = 0; i < 200 && front.rfind("window: \"Velmora\"", 0) != 0; i++) {
        usleep(10000);
        front.clear();
        run_velctl({"dialog"}, &front);
    }
    return double(rang - due_host - FIXED_WAITS_MS);
}

bool set_up(const std::string &root, const std::string &sounds_from) {
    if (!device_open(root.c_str()) || !install_program(MANAGER, built_velmgr()) ||
        !install_program(MAIN, VELMORA_PROGRAM))
        return false;
    std::string sounds = root + "/IPSM/Program Files/Velmora/sounds";
    if (system(("mkdir -p '" + sounds + "' && cp '" + sounds_from + "'/*.wav '" + sounds + "'").c_str()) != 0)
        return false;
    create_alarm_table();
    set_alarm_defaults();
    alarm_record(0)->AlarmOn = 1;
    save_alarm(0);
    return start_service();
}

}  // namespace

int main(int argc, char **argv) {
    bool cold = argc > 1 && strcmp(argv[1], "cold") == 0;
    int runs = argc > 2 ? atoi(argv[2]) : 20;
    if (argc < 2 || (!cold && strcmp(argv[1], "running") != 0) || runs <= 0) {
        fputs("usage: ringing_due_latency running|cold [RUNS]\n", stderr);
        return 2;
    }
    std::string root = make_temp_folder("bench"), capture = root + "/heard.wav";
    setenv("VELMORA_AUDIO", ("wav:" + capture).c_str(), 1);
    setenv("VELMORA_SCREEN", "headless", 1);
    if (!set_up(root, VELMORA_SOUNDS)) {
        fprintf(stderr, "ringing_due_latency: cannot set up a device with notifyd: %s\n", device_error());
        return 1;
    }
    char program[DEVICE_HOST_PATH];
    device_host_path(MAIN, program, sizeof program);
    if (!cold) plat::spawn_program(program, {}, false);
    if (!cold && !wait_for(true, L"Velmora", 10000)) return 1;
    // The clock arms its alarms just after its window shows; a request made
    // before would be replaced by the clock's own for the same alarm.
    DWORD pending = 0;
    for (int i = 0; i < 500 && !cold && pending == 0; i++) {
        CeGetUserNotificationHandles(nullptr, 0, &pending);
        usleep(10000);
    }
    std::vector<double> ms;
    for (int i = 0; i < runs; i++) {
        if (cold) {
            close_window(L"Velmora");
            close_window(L"Velmgr");
        }
        double latency = one_alarm(capture);
        if (latency < 0) {
            fprintf(stderr, "ringing_due_latency: run %d did not ring\n", i + 1);
            break;
        }
        ms.push_back(latency);
    }
    close_window(L"Velmora");
    close_window(L"Velmgr");
    kill_service();
    remove_tree(device_runtime_dir());
    remove_tree(root);
    if (ms.empty()) return 1;
    std::sort(ms.begin(), ms.end());
    auto pct = [&](double p) { return ms[std::min(ms.size() - 1, size_t(p * double(ms.size())))]; };
    printf(
        "%s, %zu alarms: due to first ringing sample, less the fixed %lld ms of waits: min %.1f  p50 %.1f  p99 %.1f  "
        "max %.1f ms\n",
        cold ? "nothing running but notifyd" : "clock running", ms.size(), FIXED_WAITS_MS, ms.front(), pct(0.50),
        pct(0.99), ms.back());
    return int(ms.size()) == runs ? 0 : 1;
}

// An hour of the clock, or as long as asked: the real program runs headless
// on a fresh device while its CPU time and resident memory are sampled.
// Targets: under 0.3% of a core, resident memory under 30 MB and not growing.
// Usage: app_idle [SECONDS] (default 3600). Also reports how long the
// program takes from its start until the screen shows its first frame with
// the digits drawn.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_device.h"
#include "bench/proc_stats.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/screen_control.h"

extern char **environ;

namespace {

constexpr int SAMPLE_SECONDS = 60;

// The screen answers once it has presented a frame; the digits are yellow.
bool face_on_screen() {
    std::string reply;
    std::vector<unsigned char> rgb;
    if (!screen_call("screenshot", &reply, &rgb)) return false;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 0) return true;
    return false;
}

double now_ms() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1000 + double(ts.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char **argv) {
    int seconds = argc > 1 ? atoi(argv[1]) : 3600;
    if (seconds <= 0) {
        fprintf(stderr, "usage: app_idle [SECONDS]\n");
        return 2;
    }
    setenv("VELMORA_SCREEN", getenv("VELMORA_SCREEN") ? getenv("VELMORA_SCREEN") : "headless", 1);
    setenv("VELMORA_NOTIFYD", "off", 1);
    char folder[] = "/tmp/velmora-app-idle-XXXXXX";
    if (!mkdtemp(folder) || !device_open(folder)) return 1;
    setenv("VELMORA_DEVICE", folder, 1);
    const char *args[] = {VELMORA_PROGRAM, nullptr};
    pid_t pid;
    double started = now_ms();
    if (posix_spawn(&pid, VELMORA_PROGRAM, nullptr, nullptr, const_cast<char **>(args), environ) != 0) return 1;
    while (!face_on_screen() && now_ms() - started < 30000) usleep(500);
    printf("start to the first frame with the face on screen: %.1f ms\n", now_ms() - started);
    sleep(2);  // start-up is not running
    double cpu_before = on_cpu_seconds(pid);  // to the nanosecond: a resting tick is microseconds
    long rss_first = resident_kb(pid), rss_max = rss_first, rss_last = rss_first;
    for (int done = 0; done < seconds; done += SAMPLE_SECONDS) {
        sleep(unsigned(seconds - done < SAMPLE_SECONDS ? seconds - done : SAMPLE_SECONDS));
        rss_last = resident_kb(pid);
        if (rss_last > rss_max) rss_max = rss_last;
    }
    double cpu_after = on_cpu_seconds(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    bench_remove_device(folder);
    if (cpu_before < 0 || cpu_after < 0 || rss_first < 0) {
        fprintf(stderr, "app_idle: could not read the program's figures\n");
        return 1;
    }
    double share = (cpu_after - cpu_before) / seconds * 100;
    printf("clock running %d s: %.6f s CPU = %.4f%% of a core (target < 0.3%%)\n", seconds, cpu_after - cpu_before,
           share);
    printf("resident memory: %.1f MB at start, %.1f MB at the end, %.1f MB at most (target < 30 MB, not growing)\n",
           rss_first / 1024.0, rss_last / 1024.0, rss_max / 1024.0);
    printf("exit code after SIGTERM: %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return share < 0.3 && rss_max < 30 * 1024 && rss_last <= rss_first + 1024 ? 0 : 1;
}

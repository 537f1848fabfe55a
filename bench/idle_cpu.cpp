// CPU time of an idle program with a window and a one-second timer that
// redraws a counter, as the clock ticks. Target: under 0.5% of one core.
// Usage: idle_cpu [SECONDS] (default 60). The program runs headless unless
// VELMORA_SCREEN says otherwise.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_device.h"
#include "bench/proc_stats.h"

extern char **environ;

int main(int argc, char **argv) {
    int seconds = argc > 1 ? atoi(argv[1]) : 60;
    if (seconds <= 0) {
        fprintf(stderr, "usage: idle_cpu [SECONDS]\n");
        return 2;
    }
    setenv("VELMORA_SCREEN", getenv("VELMORA_SCREEN") ? getenv("VELMORA_SCREEN") : "headless", 1);
    char folder[] = "/tmp/velmora-idle-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    std::string device = folder, record = device + "/record.txt";
    const char *args[] = {SCREEN_PEER, device.c_str(), record.c_str(), "--timer", nullptr};
    pid_t pid;
    if (posix_spawn(&pid, SCREEN_PEER, nullptr, nullptr, const_cast<char **>(args), environ) != 0) return 1;
    sleep(2);  // start-up is not idling
    double before = cpu_seconds(pid);
    sleep(unsigned(seconds));
    double after = cpu_seconds(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    bench_remove_device(device);
    if (before < 0 || after < 0) {
        fprintf(stderr, "idle_cpu: could not read the program's CPU time\n");
        return 1;
    }
    double share = (after - before) / seconds * 100;
    printf("idle program with a 1 s timer: %.3f s CPU in %d s = %.3f%% of a core (target < 0.5%%)\n", after - before,
           seconds, share);
    return share < 0.5 ? 0 : 1;
}

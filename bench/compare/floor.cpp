// The floor the notification service is measured against: what the machine
// allows for starting a program at an absolute time, with nothing in between.
// One timerfd on CLOCK_REALTIME armed for each due time in turn, then a
// posix_spawn of the program with the argument.
// Usage: compare_floor PROGRAM DUE_MS:ARGUMENT... (host CLOCK_REALTIME, ms)
#include <signal.h>
#include <spawn.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char **environ;

int main(int argc, char **argv) {
    if (argc < 3) {
        fputs("usage: compare_floor PROGRAM DUE_MS:ARGUMENT...\n", stderr);
        return 2;
    }
    signal(SIGCHLD, SIG_IGN);  // the started programs reap themselves
    int timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
    if (timer < 0) return 1;
    for (int i = 2; i < argc; i++) {
        char *argument = strchr(argv[i], ':');
        if (!argument) return 2;
        long long due = atoll(argv[i]);
        argument++;
        itimerspec at{};
        at.it_value.tv_sec = time_t(due / 1000);
        at.it_value.tv_nsec = long(due % 1000) * 1000000L;
        uint64_t expirations;
        if (timerfd_settime(timer, TFD_TIMER_ABSTIME, &at, nullptr) != 0 ||
            read(timer, &expirations, sizeof expirations) != sizeof expirations)
            return 1;
        char *args[] = {argv[1], argument, nullptr};
        pid_t pid;
        if (posix_spawn(&pid, argv[1], nullptr, nullptr, args, environ) != 0) return 1;
    }
    return 0;
}

// What notifyd sleeps on: one timerfd for the earliest due request, which
// also reports host clock jumps; its socket, poked by registering programs;
// inotify on the few files that mean a change (watch_files.cpp). Nothing
// else wakes it.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/notifyd/notifyd.h"

namespace {

// Far enough that an idle service never wakes, near enough for any time_t.
constexpr long long NOTHING_DUE_MS = 20LL * 365 * 86400 * 1000;

bool bind_socket(ServiceWatch &w, const char *runtime_dir) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    int n = snprintf(addr.sun_path, sizeof addr.sun_path, "%s/notifyd.sock", runtime_dir);
    if (n <= 0 || size_t(n) >= sizeof addr.sun_path) return false;
    w.socket = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (w.socket < 0) return false;
    unlink(addr.sun_path);  // left by an instance that was killed; we hold the lock
    return bind(w.socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 &&
           chmod(addr.sun_path, 0600) == 0;
}

// CLOCK_REALTIME_ALARM wakes a suspended machine but needs CAP_WAKE_ALARM
// and an RTC; without them the plain realtime clock serves.
bool make_timer(ServiceWatch &w) {
    w.timer = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC | TFD_NONBLOCK);
    w.wakes_machine = w.timer >= 0;
    if (w.timer < 0) w.timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
    return w.timer >= 0;
}

int read_timer(ServiceWatch &w) {
    uint64_t expirations;
    if (read(w.timer, &expirations, sizeof expirations) == sizeof expirations) return WAKE_TIMER;
    return errno == ECANCELED ? WAKE_CLOCK_SET : 0;
}

int drain_socket(ServiceWatch &w) {
    char byte[16];
    int wake = 0;
    while (recv(w.socket, byte, sizeof byte, 0) >= 0) wake = WAKE_POKE;
    return wake;
}

}  // namespace

bool watch_open(ServiceWatch &w, const char *root, const char *runtime_dir) {
    // The socket last: a program that can poke the service finds it watching.
    return make_timer(w) && watch_files_open(w.files, root) && bind_socket(w, runtime_dir);
}

bool watch_arm(ServiceWatch &w, long long host_ms) {
    if (host_ms < 0) {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        host_ms = (long long)now.tv_sec * 1000 + NOTHING_DUE_MS;
    }
    itimerspec due{};
    due.it_value.tv_sec = time_t(host_ms / 1000);
    due.it_value.tv_nsec = long(host_ms % 1000) * 1000000L;
    if (due.it_value.tv_sec == 0 && due.it_value.tv_nsec == 0) due.it_value.tv_nsec = 1;  // 0 would disarm
    return timerfd_settime(w.timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &due, nullptr) == 0;
}

int watch_wait(ServiceWatch &w) {
    pollfd fds[3] = {{w.timer, POLLIN, 0}, {w.socket, POLLIN, 0}, {w.files.inotify, POLLIN, 0}};
    int n;
    while ((n = poll(fds, 3, -1)) < 0 && errno == EINTR) {
    }
    if (n < 0) return WAKE_FAILED;
    int wake = 0;
    if (fds[0].revents) wake |= read_timer(w);
    if (fds[1].revents) wake |= drain_socket(w);
    if (fds[2].revents) wake |= watch_files_read(w.files);
    return wake;
}

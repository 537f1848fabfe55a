#include "platform/terminate.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "platform/window_internal.h"

namespace {

void on_signal(int fd, void *context) {
    struct signalfd_siginfo info;
    while (read(fd, &info, sizeof info) == ssize_t(sizeof info))
        PostMessageW(static_cast<HWND>(context), WM_CLOSE, 0, 0);
}

}  // namespace

bool close_window_on_terminate(HWND window) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) return false;
    int fd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) return false;
    plat::loop_watch_fd(fd, on_signal, window);
    return true;
}

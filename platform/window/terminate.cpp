#include "platform/window/terminate.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <vector>

#include "platform/window/window_internal.h"

namespace {

void close_main_windows(void) {
    bool closed = false;
    std::vector<HWND> tops = plat::window_table().top_levels;
    for (HWND h : tops) {
        plat::Window *w = plat::window_get(h);
        if (!w || w->owner || !w->remote.empty() || (w->ex_style & WS_EX_NOACTIVATE)) continue;
        PostMessageW(h, WM_CLOSE, 0, 0);
        closed = true;
    }
    if (!closed) PostQuitMessage(0);
}

void on_signal(int fd, void *) {
    struct signalfd_siginfo info;
    bool asked = false;
    while (read(fd, &info, sizeof info) == ssize_t(sizeof info)) asked = true;
    if (asked) close_main_windows();
}

}  // namespace

bool close_windows_on_terminate(void) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) return false;
    int fd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) return false;
    plat::loop_watch_fd(fd, on_signal, nullptr);
    return true;
}

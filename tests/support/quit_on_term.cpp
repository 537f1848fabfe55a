#include "tests/support/quit_on_term.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "platform/window/window_internal.h"

namespace {

void on_term(int fd, void *) {
    struct signalfd_siginfo info;
    if (read(fd, &info, sizeof info) == ssize_t(sizeof info)) PostQuitMessage(0);
}

}  // namespace

void quit_on_sigterm(void) {
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigprocmask(SIG_BLOCK, &term, nullptr);
    plat::loop_watch_fd(signalfd(-1, &term, SFD_CLOEXEC | SFD_NONBLOCK), on_term, nullptr);
}

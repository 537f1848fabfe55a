#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char **environ;

namespace {

void read_available(int fd, std::string &into, bool &open) {
    char buf[4096];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) into.append(buf, size_t(n));
    else open = false;
}

}  // namespace

ProgramResult run_program(const std::vector<std::string> &argv, const std::vector<std::string> &env, int user,
                          int timeout_s) {
    ProgramResult result;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (const auto &e : env) putenv(strdup(e.c_str()));
        if (user >= 0 && (setgid(gid_t(user)) != 0 || setuid(uid_t(user)) != 0)) _exit(126);
        std::vector<char *> args;
        for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execve(args[0], args.data(), environ);
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    bool out_open = true, err_open = true;
    time_t deadline = time(nullptr) + timeout_s;
    while ((out_open || err_open) && time(nullptr) < deadline) {
        struct pollfd fds[2] = {{out_open ? out[0] : -1, POLLIN, 0}, {err_open ? err[0] : -1, POLLIN, 0}};
        if (poll(fds, 2, 200) <= 0) continue;
        if (fds[0].revents) read_available(out[0], result.out, out_open);
        if (fds[1].revents) read_available(err[0], result.err, err_open);
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    if (out_open || err_open) kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

pid_t start_program(const std::vector<std::string> &argv, const std::vector<std::string> &env) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    for (const auto &e : env) putenv(strdup(e.c_str()));
    std::vector<char *> args;
    for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    execve(args[0], args.data(), environ);
    _exit(127);
}

int stop_program(pid_t pid) {
    if (pid <= 0) return -1;
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; i++) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

#include "tests/support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

std::vector<char *> pointers(std::vector<std::string> &strings) {
    std::vector<char *> out;
    for (auto &s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

int run_program(const std::vector<std::string> &argv, std::string *output) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> args = argv;
    std::vector<char *> p = pointers(args);
    pid_t pid;
    int rc = posix_spawn(&pid, p[0], &actions, nullptr, p.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) output->append(buf, size_t(n));
    close(fds[0]);
    int status;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t start_program(const std::vector<std::string> &argv, const std::vector<std::string> &env) {
    std::vector<std::string> args = argv, envs = env;
    // The given entries replace the inherited ones of the same name.
    for (char **e = environ; *e; e++) {
        std::string entry = *e, name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const auto &given : env) replaced = replaced || given.compare(0, name.size(), name) == 0;
        if (!replaced) envs.push_back(entry);
    }
    std::vector<char *> p = pointers(args), ep = pointers(envs);
    pid_t pid;
    return posix_spawn(&pid, p[0], nullptr, nullptr, p.data(), ep.data()) == 0 ? pid : -1;
}

void stop_program(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; i++) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/device.h"
#include "platform/text.h"

extern char **environ;

namespace {

// Children this process started and has not reaped yet. They are collected
// at the next start, so a long-lived caller leaves no trail of zombies.
struct Children {
    std::mutex lock;
    std::vector<pid_t> pids;
};

Children &children() {
    static Children c;
    return c;
}

void reap_finished(Children &c) {
    std::vector<pid_t> running;
    for (pid_t pid : c.pids)
        if (waitpid(pid, nullptr, WNOHANG) == 0) running.push_back(pid);
    c.pids.swap(running);
}

// The caller's environment with the device named, so the program runs on
// the same device. A device zone is the child's own business: the
// process-wide TZ the clock set for it must not look like the host's.
std::vector<std::string> child_environment(const char *root) {
    std::vector<std::string> env;
    bool device_zone = device_settings()->time_zone[0] != '\0';
    for (char **e = environ; e && *e; e++) {
        if (strncmp(*e, "VELMORA_DEVICE=", 15) == 0) continue;
        if (device_zone && strncmp(*e, "TZ=", 3) == 0) continue;
        env.push_back(*e);
    }
    env.push_back(std::string("VELMORA_DEVICE=") + root);
    return env;
}

std::vector<char *> pointers(std::vector<std::string> &strings) {
    std::vector<char *> out;
    for (auto &s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Nothing is held for a process or its thread: the child is reaped anyway.
void release(uintptr_t) {}

}  // namespace

namespace plat {

int spawn_program(const char *host_path, const std::string *argument, bool quiet) {
    const char *root = device_root();
    if (!root) {
        errno = ENOENT;
        return -1;
    }
    std::vector<std::string> args = {host_path};
    if (argument) args.push_back(*argument);
    std::vector<std::string> env = child_environment(root);
    std::vector<char *> argv = pointers(args), envp = pointers(env);

    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_init(&actions);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    // A fresh session, every signal at its default and none blocked: the
    // program must not inherit the caller's terminal or its SIGCHLD policy.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    if (quiet) {
        for (int fd = 0; fd < 3; fd++)
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        posix_spawn_file_actions_addchdir_np(&actions, "/");
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    Children &c = children();
    std::lock_guard<std::mutex> g(c.lock);
    reap_finished(c);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, host_path, &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    c.pids.push_back(pid);
    return pid;
}

}  // namespace plat

BOOL CreateProcessW(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION info) {
    char host[DEVICE_HOST_PATH];
    if (!application || !device_host_path(application, host, sizeof host)) return FALSE;
    std::string argument = command_line ? plat::to_utf8(command_line) : std::string();
    int pid = plat::spawn_program(host, argument.empty() ? nullptr : &argument, false);
    if (pid < 0) return FALSE;
    if (info) {
        info->hProcess = plat::handle_open(release, uintptr_t(pid));
        info->hThread = plat::handle_open(release, uintptr_t(pid));
        info->dwProcessId = DWORD(pid);
        info->dwThreadId = DWORD(pid);
    }
    return TRUE;
}

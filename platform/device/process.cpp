#include "platform/device/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/device/device.h"
#include "platform/device/help_viewer.h"
#include "platform/core/last_error.h"
#include "platform/core/text.h"

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

std::string beside_own_program(const char *name) {
    char self[DEVICE_HOST_PATH];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    std::string path(self, size_t(n));
    return path.substr(0, path.rfind('/') + 1) + name;
}

int spawn_program(const char *host_path, const std::vector<std::string> &args, bool quiet,
                  const std::vector<int> &pass) {
    const char *root = device_root();
    if (!root) {
        errno = ENOENT;
        return -1;
    }
    std::vector<std::string> words = {host_path};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<std::string> env = child_environment(root);
    std::vector<char *> argv = pointers(words), envp = pointers(env);
    // Copies above the numbers they go to, so that no move overwrites a
    // descriptor still to be moved.
    int first = 3 + int(pass.size());
    std::vector<int> high;
    for (int fd : pass) {
        int copy = fcntl(fd, F_DUPFD_CLOEXEC, first);
        if (copy < 0) {
            for (int made : high) close(made);
            errno = EBADF;
            return -1;
        }
        high.push_back(copy);
    }

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
    for (size_t i = 0; i < high.size(); i++) posix_spawn_file_actions_adddup2(&actions, high[i], 3 + int(i));
    posix_spawn_file_actions_addclosefrom_np(&actions, first);

    Children &c = children();
    std::lock_guard<std::mutex> g(c.lock);
    reap_finished(c);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, host_path, &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    for (int fd : high) close(fd);
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
    int pid = -1;
    if (is_help_viewer(application)) {
        pid = help_viewer_start(command_line);
    } else {
        if (!application || !device_host_path(application, host, sizeof host)) return FALSE;
        std::vector<std::string> args;
        if (command_line && command_line[0]) args.push_back(plat::to_utf8(command_line));
        pid = plat::spawn_program(host, args, false);
    }
    if (pid < 0) return FALSE;
    if (info) {
        info->hProcess = plat::handle_open(release, uintptr_t(pid));
        info->hThread = plat::handle_open(release, uintptr_t(pid));
        info->dwProcessId = DWORD(pid);
        info->dwThreadId = DWORD(pid);
    }
    return TRUE;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD process_id) {
    // kill with no signal asks whether the process exists and is ours to end.
    if (process_id == 0 || kill(pid_t(process_id), 0) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return plat::handle_open(release, uintptr_t(process_id));
}

BOOL TerminateProcess(HANDLE process, UINT) {
    uintptr_t pid = 0;
    if (!plat::handle_data(process, release, &pid) || pid == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (kill(pid_t(pid), SIGKILL) != 0) {
        SetLastError(errno == ESRCH ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

namespace {

// Ended, or ended and not yet collected by its parent.
bool process_ended(pid_t pid) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    char path[64], stat[512];
    snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    ssize_t n = read(fd, stat, sizeof stat - 1);
    close(fd);
    if (n <= 0) return true;
    stat[n] = '\0';
    const char *state = strrchr(stat, ')');  // the name may hold anything but ends at the last ')'
    return state && state[1] == ' ' && (state[2] == 'Z' || state[2] == 'X');
}

}  // namespace

DWORD WaitForSingleObject(HANDLE process, DWORD milliseconds) {
    uintptr_t pid = 0;
    if (!plat::handle_data(process, release, &pid) || pid == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (process_ended(pid_t(pid))) return WAIT_OBJECT_0;
        clock_gettime(CLOCK_MONOTONIC, &now);
        long long waited = (now.tv_sec - start.tv_sec) * 1000ll + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (milliseconds != INFINITE && waited >= (long long)milliseconds) return WAIT_TIMEOUT;
        usleep(10000);
    }
}

// Starting a due request's program in two phases, so that a service killed
// at any moment neither loses the start nor makes it twice. The service
// first starts a launcher (this program with --launch) that waits on a pipe;
// then it marks the request fired with a random token in one durable
// transaction; then it writes "go". The launcher starts the program on "go".
// On end of file without it the service died: the launcher asks the
// database and starts the program only when the request is marked fired
// with its own token. Until it has started the program or ended, it holds a
// lock file named after the token, so the service knows when the fired
// request may be forgotten.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/device.h"
#include "platform/journal.h"
#include "platform/notifyd/notifyd.h"
#include "platform/process.h"
#include "platform/text.h"

extern char **environ;

namespace {

const char GO[2] = {'g', 'o'};
// The launcher's descriptors: the pipe from the service and its lock.
const int PIPE_FD = 3;
const int LOCK_FD = 4;

std::string lock_path(long long token) {
    const char *dir = device_runtime_dir();
    if (!dir) return "";
    char name[64];
    snprintf(name, sizeof name, "/launch-%016llx.lock", (unsigned long long)token);
    return dir + std::string(name);
}

// True when the service wrote "go"; false on end of file or an error.
bool wait_for_go(void) {
    char word[sizeof GO];
    size_t got = 0;
    while (got < sizeof word) {
        ssize_t n = read(PIPE_FD, word + got, sizeof word - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += size_t(n);
    }
    return memcmp(word, GO, sizeof GO) == 0;
}

// Asked after the service died: was the claim committed?
bool claim_committed(DWORD handle, long long token) {
    if (!device_open(nullptr)) return false;
    bool fired = plat::notify_fired_with(plat::FiredRequest{handle, token});
    device_close();  // no database connection may live on in the program
    return fired;
}

void journal_failure(const char *program, const char *argument, DWORD handle) {
    if (!device_open(nullptr)) return;
    wchar_t line[1024];
    swprintf(line, 1024, L"could not start the program of request %u: %ls %ls", (unsigned)handle,
             plat::from_utf8(program).c_str(), plat::from_utf8(argument).c_str());
    journal_write("notification", line);
}

}  // namespace

bool launch_prepare(const plat::NotifyRequest &r, const char *host, long long token, Launch &launch) {
    std::string lock = lock_path(token);
    int lock_fd = lock.empty() ? -1 : open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lock_fd < 0) return false;
    int pipe_fds[2] = {-1, -1};
    int pid = -1;
    if (flock(lock_fd, LOCK_EX | LOCK_NB) == 0 && pipe2(pipe_fds, O_CLOEXEC) == 0) {
        std::vector<std::string> args = {"--launch", std::to_string(r.handle), std::to_string(token), host,
                                         plat::to_utf8(r.arguments.c_str())};
        // The running binary itself, even when a newer one replaced its file.
        pid = plat::spawn_program("/proc/self/exe", args, false, {pipe_fds[0], lock_fd});
        close(pipe_fds[0]);
    }
    close(lock_fd);  // the launcher's copy keeps the lock
    if (pid < 0) {
        if (pipe_fds[1] >= 0) close(pipe_fds[1]);
        unlink(lock.c_str());
        return false;
    }
    launch.go_fd = pipe_fds[1];
    launch.token = token;
    return true;
}

void launch_go(Launch &launch) {
    if (launch.go_fd < 0) return;
    // Two bytes into an empty pipe arrive whole; a launcher that is gone
    // has already asked the database.
    ssize_t n;
    do n = write(launch.go_fd, GO, sizeof GO);
    while (n < 0 && errno == EINTR);
    close(launch.go_fd);
    launch.go_fd = -1;
}

void launch_abandon(Launch &launch) {
    if (launch.go_fd < 0) return;
    close(launch.go_fd);
    launch.go_fd = -1;
}

bool launch_finished(long long token) {
    std::string lock = lock_path(token);
    if (lock.empty()) return false;
    int fd = open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (free) unlink(lock.c_str());
    close(fd);
    return free;
}

void launch_sweep_locks(void) {
    const char *dir = device_runtime_dir();
    DIR *d = dir ? opendir(dir) : nullptr;
    if (!d) return;
    while (struct dirent *e = readdir(d)) {
        unsigned long long token;
        char tail[8];
        if (sscanf(e->d_name, "launch-%16llx.%7s", &token, tail) == 2 && strcmp(tail, "lock") == 0)
            launch_finished((long long)token);
    }
    closedir(d);
}

int launcher_main(int argc, char **argv) {
    if (argc != 4) {
        fprintf(stderr, "notifyd --launch: HANDLE TOKEN PROGRAM ARGUMENT expected\n");
        return 2;
    }
    DWORD handle = DWORD(strtoul(argv[0], nullptr, 10));
    long long token = strtoll(argv[1], nullptr, 10);
    // Neither the pipe nor the lock may outlive the start of the program.
    fcntl(PIPE_FD, F_SETFD, FD_CLOEXEC);
    fcntl(LOCK_FD, F_SETFD, FD_CLOEXEC);
    if (!wait_for_go() && !claim_committed(handle, token)) return 0;
    const char *program = argv[2], *argument = argv[3];
    char *const args[] = {const_cast<char *>(program), argument[0] ? const_cast<char *>(argument) : nullptr, nullptr};
    execve(program, args, environ);
    journal_failure(program, argument, handle);
    return 127;
}

// Starting a due request's program in two phases, so that a service killed
// at any moment neither loses the start nor makes it twice. A launcher (this
// program with --launch) waits on a pipe from the service. Inside the claim's
// transaction the service hands it the request; the request is marked fired
// with the launcher's random token; once that is committed the service writes
// "go" and the launcher starts the program. On end of file without "go" the
// service died: the launcher asks the database and starts the program only
// when the request is marked fired with its own token. Until it has started
// the program or ended, it holds a lock file named after its token, so the
// service knows when the fired request may be forgotten.
//
// One launcher is always started ahead (the spare), so that a due request
// waits for no process start.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/device/journal.h"
#include "platform/notifyd/notifyd.h"
#include "platform/device/process.h"
#include "platform/core/text.h"

extern char **environ;

namespace {

const char GO[2] = {'g', 'o'};
// The launcher's descriptors: the pipe from the service and its lock.
constexpr int PIPE_FD = 3;
constexpr int LOCK_FD = 4;

struct Spare {
    int pipe_fd = -1;  // write end; -1 when no launcher waits
    long long token = 0;
};

Spare &spare() {
    static Spare s;
    return s;
}

long long new_token() {
    long long token = 0;
    while (token <= 0) {
        if (getrandom(&token, sizeof token, 0) != sizeof token) token = clock_utc_ms() ^ (long long)getpid() << 40;
        token &= 0x7FFFFFFFFFFFFFFFLL;
    }
    return token;
}

std::string lock_path(long long token) {
    const char *dir = device_runtime_dir();
    if (!dir) return "";
    char name[64];
    snprintf(name, sizeof name, "/launch-%016llx.lock", (unsigned long long)token);
    return dir + std::string(name);
}

bool start_spare(Spare &s) {
    long long token = new_token();
    std::string lock = lock_path(token);
    int lock_fd = lock.empty() ? -1 : open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lock_fd < 0) return false;
    int fds[2] = {-1, -1};
    int pid = -1;
    if (flock(lock_fd, LOCK_EX | LOCK_NB) == 0 && pipe2(fds, O_CLOEXEC) == 0) {
        // The running binary itself, even when a newer one replaced its file.
        pid = plat::spawn_program("/proc/self/exe", {"--launch", std::to_string(token)}, false, {fds[0], lock_fd});
        close(fds[0]);
    }
    close(lock_fd);  // the launcher's copy keeps the lock
    if (pid < 0) {
        if (fds[1] >= 0) close(fds[1]);
        unlink(lock.c_str());
        return false;
    }
    s.pipe_fd = fds[1];
    s.token = token;
    return true;
}

void drop_spare(Spare &s) {
    if (s.pipe_fd >= 0) close(s.pipe_fd);
    s.pipe_fd = -1;
}

bool write_all(int fd, const std::string &data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// What the service hands a launcher: three texts, each ended by a NUL.
std::string request_message(const plat::NotifyRequest &r, const char *host) {
    std::string m = std::to_string(r.handle);
    m += '\0';
    m += host;
    m += '\0';
    m += plat::to_utf8(r.arguments.c_str());
    m += '\0';
    return m;
}

// The launcher's side: the handed request, and whether "go" followed. False
// when the service never handed one over.
bool read_request(std::string fields[3], bool *go) {
    std::string in;
    char buf[4096];
    size_t nuls = 0, end = 0;
    for (;;) {
        for (; nuls < 3 && end < in.size(); end++)
            if (in[end] == '\0') nuls++;
        if (nuls == 3 && in.size() >= end + sizeof GO) break;
        ssize_t n = read(PIPE_FD, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        in.append(buf, size_t(n));
    }
    if (nuls < 3) return false;
    size_t at = 0;
    for (int i = 0; i < 3; i++) {
        fields[i] = in.c_str() + at;
        at += fields[i].size() + 1;
    }
    *go = in.compare(end, sizeof GO, GO, sizeof GO) == 0;
    return true;
}

// Asked after the service died: was the claim committed?
bool claim_committed(DWORD handle, long long token) {
    // A device removed meanwhile holds no claim, and must not be made anew.
    const char *root = getenv("VELMORA_DEVICE");
    if (!root || access((std::string(root) + "/notify.db").c_str(), F_OK) != 0) return false;
    if (!device_open(root)) return false;
    bool fired = plat::notify_fired_with(plat::FiredRequest{handle, token});
    device_close();  // no database connection may live on in the program
    return fired;
}

void journal_failure(const std::string &program, const std::string &argument, DWORD handle) {
    if (!device_open(nullptr)) return;
    wchar_t line[1024];
    swprintf(line, 1024, L"could not start the program of request %u: %ls %ls", (unsigned)handle,
             plat::from_utf8(program.c_str()).c_str(), plat::from_utf8(argument.c_str()).c_str());
    journal_write("notification", line);
}

}  // namespace

void launch_prepare_spare(void) {
    if (spare().pipe_fd < 0) start_spare(spare());
}

long long launch_hand_over(const plat::NotifyRequest &r, const char *host) {
    Spare &s = spare();
    std::string message = request_message(r, host);
    // A spare that died meanwhile is replaced once.
    for (int attempt = 0; attempt < 2; attempt++) {
        if (s.pipe_fd < 0 && !start_spare(s)) return 0;
        if (write_all(s.pipe_fd, message)) return s.token;
        drop_spare(s);
    }
    return 0;
}

void launch_go(void) {
    Spare &s = spare();
    if (s.pipe_fd < 0) return;
    // Whatever happens to these bytes, a launcher that missed them asks the
    // database.
    write_all(s.pipe_fd, std::string(GO, sizeof GO));
    drop_spare(s);
}

void launch_abandon(void) { drop_spare(spare()); }

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
    if (argc != 1) {
        fprintf(stderr, "notifyd --launch: TOKEN expected\n");
        return 2;
    }
    long long token = strtoll(argv[0], nullptr, 10);
    // Neither the pipe nor the lock may outlive the start of the program.
    fcntl(PIPE_FD, F_SETFD, FD_CLOEXEC);
    fcntl(LOCK_FD, F_SETFD, FD_CLOEXEC);
    std::string fields[3];
    bool go = false;
    if (!read_request(fields, &go)) return 0;  // a spare nobody needed
    DWORD handle = DWORD(strtoul(fields[0].c_str(), nullptr, 10));
    if (!go && !claim_committed(handle, token)) return 0;
    const std::string &program = fields[1], &argument = fields[2];
    char *const args[] = {const_cast<char *>(program.c_str()),
                          argument.empty() ? nullptr : const_cast<char *>(argument.c_str()), nullptr};
    execve(program.c_str(), args, environ);
    journal_failure(program, argument, handle);
    return 127;
}

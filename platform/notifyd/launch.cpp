// Starting a due request's program in two phases, so that a service killed
// at any moment neither loses the start nor makes it twice. A launcher (this
// program with --launch) waits on a pipe from the service. A few
// milliseconds before the request falls due, inside the claim's transaction,
// the request is marked fired with the launcher's random token; once that is
// committed the service writes the request, its due instant and "go". The
// launcher sleeps until that instant on its own timer and starts the
// program: the claim and all the service does after it are behind it by then.
// On end of file before "go" the service died: the launcher asks the
// database for the request fired with its own token and starts its program
// only when there is one. Until it has started the program or ended, it
// holds a lock file named after its token; it writes into that file just
// before the start, so the service can tell a launcher that started its
// program from one killed while it waited, whose request goes back to
// pending.
//
// One launcher is always started ahead (the spare), so that a due request
// waits for no process start; it is woken once, by the committed claim.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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
constexpr int FIELDS = 4;  // handle, program, argument, due instant
const char STARTED = 's';  // written into the lock just before the start

struct Spare {
    int pipe_fd = -1;  // write end; -1 when no launcher waits
    long long token = 0;
    std::string request;  // the claimed request, sent with "go"
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
    s.request.clear();
}

// Whether the launcher still reads its pipe; asked without waking it.
bool launcher_waits(int pipe_fd) {
    pollfd p = {pipe_fd, 0, 0};  // a write end with no reader reports POLLERR
    return poll(&p, 1, 0) == 0;
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

// What the service hands a launcher: four texts, each ended by a NUL; the
// due instant is host CLOCK_REALTIME in ms.
std::string request_message(const plat::NotifyRequest &r, const char *host, long long due_at) {
    std::string m = std::to_string(r.handle);
    m += '\0';
    m += host;
    m += '\0';
    m += plat::to_utf8(r.arguments.c_str());
    m += '\0';
    m += std::to_string(due_at);
    m += '\0';
    return m;
}

// The launcher's side: the request and "go", as the service writes them
// once its claim is committed. False when the pipe ended before.
bool read_request(std::string fields[FIELDS]) {
    std::string in;
    char buf[4096];
    size_t nuls = 0, end = 0;
    for (;;) {
        for (; nuls < FIELDS && end < in.size(); end++)
            if (in[end] == '\0') nuls++;
        if (nuls == FIELDS && in.size() >= end + sizeof GO) break;
        ssize_t n = read(PIPE_FD, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        in.append(buf, size_t(n));
    }
    size_t at = 0;
    for (int i = 0; i < FIELDS; i++) {
        fields[i] = in.c_str() + at;
        at += fields[i].size() + 1;
    }
    return in.compare(end, sizeof GO, GO, sizeof GO) == 0;
}

// Asked after the service died: the request its claim committed with this
// launcher's token, if any, as the service would have written it.
bool committed_claim(long long token, std::string fields[FIELDS]) {
    // A device removed meanwhile holds no claim, and must not be made anew.
    const char *root = getenv("VELMORA_DEVICE");
    if (!root || access((std::string(root) + "/notify.db").c_str(), F_OK) != 0) return false;
    if (!device_open(root)) return false;
    plat::NotifyRequest r;
    char host[DEVICE_HOST_PATH];
    bool found = plat::notify_fired_request(token, r) && device_host_path(r.application.c_str(), host, sizeof host);
    long long due = found ? due_host_ms(r) : 0;
    device_close();  // no database connection may live on in the program
    if (!found) return false;
    fields[0] = std::to_string(r.handle);
    fields[1] = host;
    fields[2] = plat::to_utf8(r.arguments.c_str());
    fields[3] = std::to_string(due);
    return true;
}

// Sleeps until the host clock reaches the instant; false when the clock was
// set meanwhile, after which the service, which sees the change too, should
// decide anew when the request falls due.
bool sleep_until(long long host_ms) {
    int timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
    if (timer < 0) return true;  // started at once rather than not at all
    if (host_ms < 1) host_ms = 1;  // long past; 0 would disarm
    itimerspec at{};
    at.it_value.tv_sec = time_t(host_ms / 1000);
    at.it_value.tv_nsec = long(host_ms % 1000) * 1000000L;
    bool reached = true;
    if (timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr) == 0) {
        uint64_t expirations;
        ssize_t n;
        while ((n = read(timer, &expirations, sizeof expirations)) < 0 && errno == EINTR) {
        }
        reached = !(n < 0 && errno == ECANCELED);
    }
    close(timer);
    return reached;
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

long long launch_hand_over(const plat::NotifyRequest &r, const char *host, long long due_at) {
    Spare &s = spare();
    // A spare that died meanwhile is replaced; one that dies after the claim
    // is a launcher killed mid-claim.
    if (s.pipe_fd >= 0 && !launcher_waits(s.pipe_fd)) drop_spare(s);
    if (s.pipe_fd < 0 && !start_spare(s)) return 0;
    s.request = request_message(r, host, due_at);
    return s.token;
}

void launch_go(void) {
    Spare &s = spare();
    if (s.pipe_fd < 0) return;
    // Whatever happens to these bytes, a launcher that missed them asks the
    // database.
    write_all(s.pipe_fd, s.request + std::string(GO, sizeof GO));
    drop_spare(s);
}

void launch_abandon(void) { drop_spare(spare()); }

LaunchState launch_state(long long token) {
    std::string lock = lock_path(token);
    if (lock.empty()) return LaunchState::Waiting;
    int fd = open(lock.c_str(), O_RDWR | O_CLOEXEC);
    // Gone with the runtime folder (a reboot): whether it started is not
    // known, and a second start is not made on a guess.
    if (fd < 0) return errno == ENOENT ? LaunchState::Started : LaunchState::Waiting;
    LaunchState state = LaunchState::Waiting;
    struct stat st;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        state = fstat(fd, &st) == 0 && st.st_size > 0 ? LaunchState::Started : LaunchState::Abandoned;
        unlink(lock.c_str());
    }
    close(fd);
    return state;
}

void launch_sweep_locks(void) {
    const char *dir = device_runtime_dir();
    DIR *d = dir ? opendir(dir) : nullptr;
    if (!d) return;
    while (struct dirent *e = readdir(d)) {
        unsigned long long token;
        char tail[8];
        if (sscanf(e->d_name, "launch-%16llx.%7s", &token, tail) == 2 && strcmp(tail, "lock") == 0)
            launch_state((long long)token);
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
    std::string fields[FIELDS];
    // Else a spare nobody needed, or a claim rolled back.
    if (!read_request(fields) && !committed_claim(token, fields)) return 0;
    DWORD handle = DWORD(strtoul(fields[0].c_str(), nullptr, 10));
    const std::string &program = fields[1], &argument = fields[2];
    char *const args[] = {const_cast<char *>(program.c_str()),
                          argument.empty() ? nullptr : const_cast<char *>(argument.c_str()), nullptr};
    // Ended unmarked, the launcher leaves the request pending again.
    if (!sleep_until(strtoll(fields[3].c_str(), nullptr, 10))) return 0;
    // From here on the request is this launcher's: a failed start is
    // journalled, not tried again. Should the mark itself fail, the service
    // starts the request once more, which beats not at all.
    ssize_t marked = pwrite(LOCK_FD, &STARTED, 1, 0);
    (void)marked;
    execve(program.c_str(), args, environ);
    journal_failure(program, argument, handle);
    return 127;
}

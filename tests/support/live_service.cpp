#include "tests/support/live_service.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/device/device.h"
#include "platform/notify/notify_db.h"

extern char **environ;

const char *built_notifyd(void) { return VELMORA_TEST_NOTIFYD; }
const char *built_velctl(void) { return VELMORA_TEST_VELCTL; }

long long host_now_ms(void) {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

namespace {

void pause_ms(int ms) {
    timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

}  // namespace

const char *built_velmgr(void) { return VELMORA_TEST_VELMGR; }
const char *built_main_standin(void) { return VELMORA_TEST_MAIN_STANDIN; }
const char *built_window_peer(void) { return VELMORA_TEST_WINDOW_PEER; }

bool install_program(const wchar_t *device_path, const char *program) {
    char host[DEVICE_HOST_PATH];
    if (!device_host_path(device_path, host, sizeof host)) return false;
    std::string folder(host);
    folder.resize(folder.rfind('/'));
    std::string command = "mkdir -p '" + folder + "'";
    if (system(command.c_str()) != 0) return false;
    unlink(host);
    return symlink(program, host) == 0;
}

bool install_recorder(const wchar_t *device_path) { return install_program(device_path, VELMORA_TEST_RECORDER); }

std::vector<Record> read_records(void) {
    std::vector<Record> out;
    const char *elsewhere = getenv("VELMORA_RECORD");
    std::ifstream in(elsewhere ? std::string(elsewhere) : std::string(device_root()) + "/IPSM/record.log");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Record r{};
        fields >> r.started_ns >> r.pid >> r.argument_count;
        std::getline(fields, r.argument);
        if (!r.argument.empty() && r.argument[0] == ' ') r.argument.erase(0, 1);
        out.push_back(r);
    }
    return out;
}

std::vector<Record> wait_for_records(size_t count, int timeout_ms) {
    long long until = host_now_ms() + timeout_ms;
    std::vector<Record> seen = read_records();
    while (seen.size() < count && host_now_ms() < until) {
        pause_ms(10);
        seen = read_records();
    }
    return seen;
}

void use_built_service(bool autostart) { setenv("VELMORA_NOTIFYD", autostart ? built_notifyd() : "off", 1); }

namespace {

std::string lock_path(void) { return std::string(device_runtime_dir()) + "/notifyd.lock"; }

}  // namespace

int service_pid(void) {
    int fd = open(lock_path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    int pid = 0;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {  // held: the service runs
        char buf[32] = {};
        if (pread(fd, buf, sizeof buf - 1, 0) > 0) pid = atoi(buf);
    }
    close(fd);
    return pid;
}

bool start_service(void) {
    setenv("VELMORA_NOTIFYD", built_notifyd(), 1);
    if (!notify_service_ensure()) return false;
    for (int i = 0; i < 500; i++) {
        if (service_pid() > 0 && plat::notify_service_poke()) return true;
        pause_ms(10);
    }
    return false;
}

bool kill_service(void) {
    int pid = service_pid();
    if (pid <= 0) return true;
    kill(pid, SIGKILL);
    for (int i = 0; i < 500; i++) {
        waitpid(pid, nullptr, WNOHANG);  // ours when a registration started it
        if (service_pid() != pid) return true;  // gone, or already started anew
        pause_ms(10);
    }
    return false;
}

int run_velctl(const std::vector<std::string> &words, std::string *output) {
    std::vector<std::string> args = {built_velctl(), "--device", device_root()};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char *> argv;
    for (auto &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t pid;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0)
        if (output) output->append(buf, size_t(n));
    close(out[0]);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

HANDLE add_request(const wchar_t *application, const wchar_t *arguments, const SYSTEMTIME &start, int minutes) {
    CE_NOTIFICATION_TRIGGER t{};
    t.dwSize = sizeof t;
    t.dwType = CNT_TIME;
    t.lpszApplication = const_cast<WCHAR *>(application);
    t.lpszArguments = const_cast<WCHAR *>(arguments);
    t.stStartTime = start;
    clock_systemtime_from_ms(clock_ms_from_systemtime(&start) + minutes * 60000LL, &t.stEndTime);
    return CeSetUserNotificationEx(nullptr, &t, nullptr);
}

SYSTEMTIME local_in(long long ms) {
    SYSTEMTIME t;
    clock_systemtime_from_ms(clock_local_ms(clock_utc_ms() + ms), &t);
    return t;
}

// Several programs saving and loading alarms at once, one of them killed at
// random moments: every record read is whole, the store always opens, and no
// save that returned is lost.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/temp_device.h"

extern char **environ;

namespace {

struct Worker {
    pid_t pid = -1;
    int out = -1;  // the worker's stdout
};

Worker spawn(const std::vector<std::string> &args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(STRESS_WORKER));
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    Worker w;
    if (posix_spawn(&w.pid, STRESS_WORKER, &actions, nullptr, argv.data(), environ) != 0) w.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    w.out = fds[0];
    return w;
}

// Reads the worker's acknowledged sequence numbers; returns the last one.
unsigned drain(int fd, unsigned last, int wait_ms) {
    std::string pending;
    char buf[4096];
    for (;;) {
        struct pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, wait_ms) <= 0) break;
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        pending.append(buf, size_t(n));
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            last = unsigned(std::stoul(pending.substr(0, nl)));
            pending.erase(0, nl + 1);
        }
    }
    return last;
}

using RegistryStress = TempDevice;

TEST_F(RegistryStress, KilledWritersNeverTearOrLoseARecord) {
    constexpr int KILLS = 200;
    std::vector<Worker> steady;
    for (int i = 0; i < 3; i++) steady.push_back(spawn({"writer", root, std::to_string(i), "1"}));
    Worker reader = spawn({"reader", root, "4", "3000"});
    std::mt19937 random(12345);
    unsigned acked = 0;
    create_alarm_table();
    for (int k = 0; k < KILLS; k++) {
        Worker victim = spawn({"writer", root, "3", std::to_string(acked + 1)});
        ASSERT_GT(victim.pid, 0);
        acked = drain(victim.out, acked, int(random() % 25) + 1);
        kill(victim.pid, SIGKILL);
        waitpid(victim.pid, nullptr, 0);
        acked = drain(victim.out, acked, 0);  // acknowledgements written before the kill
        close(victim.out);
        // The store opens and holds at least the last acknowledged save.
        set_alarm_defaults();
        alarm_record(3)->AlarmHandle = 0;
        load_alarms();
        ASSERT_GE(alarm_record(3)->AlarmHandle, acked) << "a save that returned was lost at kill " << k;
        acked = std::max(acked, alarm_record(3)->AlarmHandle);
    }
    int status = 0;
    std::string verdict;
    char buf[256];
    ssize_t n;
    while ((n = read(reader.out, buf, sizeof buf)) > 0) verdict.append(buf, size_t(n));
    waitpid(reader.pid, &status, 0);
    EXPECT_EQ(verdict, "ok\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (Worker &w : steady) {
        kill(w.pid, SIGKILL);
        waitpid(w.pid, nullptr, 0);
        close(w.out);
    }
    free_alarm_table();
}

}  // namespace

// Runs a program of the build and collects what it says, for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ProgramResult {
    int exit_code = -1;  // -1 when it did not end normally
    std::string out;
    std::string err;
};

// `env` adds NAME=VALUE entries to the environment; a `user` other than -1
// runs the program as that user id (tests running as root use it to see what
// an ordinary user meets). Waits at most `timeout_s` seconds, then kills it.
ProgramResult run_program(const std::vector<std::string> &argv, const std::vector<std::string> &env = {},
                          int user = -1, int timeout_s = 30);

// Starts a program in the background with extra NAME=VALUE entries (they
// replace inherited ones of the same name); -1 when it cannot start.
pid_t start_program(const std::vector<std::string> &argv, const std::vector<std::string> &env = {});
// Ends a background program (SIGTERM, then SIGKILL after 2 s) and returns
// its exit code; -1 when it had to be killed or did not exit normally.
int stop_program(pid_t pid);

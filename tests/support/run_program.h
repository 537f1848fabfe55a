// Running the system's programs from tests.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs a program to its end; returns its exit code (-1 when it could not
// run) and what it wrote to stdout and stderr.
int run_program(const std::vector<std::string> &argv, std::string *output);
// Starts a program in the background with extra environment entries.
pid_t start_program(const std::vector<std::string> &argv, const std::vector<std::string> &env = {});
// Ends a background program and waits for it.
void stop_program(pid_t pid);

// What /proc says about a running program, for the whole-program benchmarks.
#pragma once

#include <sys/types.h>

// User and system CPU time in seconds; -1 when it cannot be read.
double cpu_seconds(pid_t pid);
// Resident memory in kB; -1 when it cannot be read.
long resident_kb(pid_t pid);

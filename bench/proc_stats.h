// What /proc says about a running program, for the whole-program benchmarks.
#pragma once

#include <sys/types.h>

// User and system CPU time in seconds; -1 when it cannot be read.
double cpu_seconds(pid_t pid);
// Time on a CPU in seconds, summed over the program's threads, to the
// nanosecond (the scheduler's own count); -1 when it cannot be read.
double on_cpu_seconds(pid_t pid);
// Resident memory in kB; -1 when it cannot be read.
long resident_kb(pid_t pid);
// Times the program's threads went to sleep, and so were woken (voluntary
// context switches, summed over its threads; being preempted while running
// is no wake-up); -1 when they cannot be read.
long wake_ups(pid_t pid);
// Proportional set size in kB (shared pages split between their users);
// -1 when it cannot be read.
long proportional_kb(pid_t pid);

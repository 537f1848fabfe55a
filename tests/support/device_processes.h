// The processes of one device, found by their program (a file of the device)
// or by the device their environment names: what a test ends as a machine
// that goes down would, and what it counts.
#pragma once

#include <string>
#include <vector>

// Live processes (not zombies) of the current device.
std::vector<int> device_processes(void);
// Those of them whose program is the host file `exe`.
std::vector<int> device_processes_of(const std::string &exe);
// A process's arguments after its program, from /proc.
std::vector<std::string> process_arguments(int pid);
// SIGKILL to every one of them until none is left for 200 ms (at most 5 s).
bool end_device_processes(void);
// Polls until the process is gone or a zombie; false after `timeout_ms`.
bool process_gone(int pid, int timeout_ms);

// Real processes on a temporary device: the built notifyd, velctl and the
// recorder program, for end-to-end tests and benchmarks.
#pragma once

#include <string>
#include <vector>

#include "platform/phone.h"

// One start of the recorder.
struct Record {
    long long started_ns;  // host CLOCK_REALTIME at its first instruction
    int pid;
    int argument_count;
    std::string argument;
};

const char *built_notifyd(void);
const char *built_velctl(void);

const char *built_velmgr(void);
const char *built_main_standin(void);
const char *built_window_peer(void);

// Lays a built program at a device path, as the package lays its programs:
// the host file the path names is the program.
bool install_program(const wchar_t *device_path, const char *program);
// Links the recorder at a device path, e.g. the manager's "Velmgr.exe".
bool install_recorder(const wchar_t *device_path);

// The recorder's starts so far, in the order they were written (to
// $VELMORA_RECORD when that is set, as the recorder does).
std::vector<Record> read_records(void);
// Polls until `count` records exist or `timeout_ms` passed.
std::vector<Record> wait_for_records(size_t count, int timeout_ms);

// Lets registrations start the built notifyd; with `autostart` false they
// only poke a running one.
void use_built_service(bool autostart);
// Starts notifyd and waits until it listens; false after 5 s.
bool start_service(void);
// The running service's pid from its lock file, 0 when none runs.
int service_pid(void);
// SIGKILL, then waits until its lock is free or another instance holds it.
bool kill_service(void);

// Runs velctl on the current device; returns its exit status and, when
// asked, what it printed on stdout.
int run_velctl(const std::vector<std::string> &words, std::string *output = nullptr);

// A request for `arguments` at `start`, ending `minutes` later.
HANDLE add_request(const wchar_t *application, const wchar_t *arguments, const SYSTEMTIME &start, int minutes);

// The device's local time `ms` from now.
SYSTEMTIME local_in(long long ms);
long long host_now_ms(void);

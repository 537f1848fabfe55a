// Starting programs: a device path names the host file, the command line
// is handed over as one argument, and no shell ever sees it.
#pragma once

#include <string>
#include <vector>

#include "platform/core/handles.h"
#include "platform/core/types.h"

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct _STARTUPINFOW STARTUPINFOW, *LPSTARTUPINFOW;

#define CREATE_NEW_CONSOLE 0x00000010

// Starts the program at the device path `application` with `command_line`
// (none or empty: no argument). The program runs on the same device, in a
// session of its own; close both handles of `info` when done. "peghelp", the
// phone's help viewer, shows the help page its command line names.
BOOL CreateProcessW(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES process_security,
                    LPSECURITY_ATTRIBUTES thread_security, BOOL inherit_handles, DWORD flags, LPVOID environment,
                    LPCWSTR current_folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info);

#define PROCESS_TERMINATE 0x0001
#define SYNCHRONIZE 0x00100000L
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 0x00000102L
#define WAIT_FAILED 0xFFFFFFFFu

// A handle to a running process of this user by its id; NULL when there is
// none. Close it with CloseHandle.
HANDLE OpenProcess(DWORD access, BOOL inherit_handle, DWORD process_id);
// Ends the process at once (SIGKILL): it gets no chance to save or clean
// up, so the exit code it reports is that of the signal, not `exit_code`.
BOOL TerminateProcess(HANDLE process, UINT exit_code);
// Waits until the process has ended (a process that ended and was not
// collected by its parent counts as ended): WAIT_OBJECT_0, or WAIT_TIMEOUT
// after `milliseconds` (INFINITE: no limit). Polls every 10 ms.
DWORD WaitForSingleObject(HANDLE process, DWORD milliseconds);

namespace plat {

// Starts the host program with `args` after its own name, on this device, in
// a new session. The descriptors of `pass` become 3, 4, ... in it; it
// inherits no other but the standard three. A quiet program gets /dev/null
// for those and "/" as its folder. Returns the process id, or -1 with errno
// set.
int spawn_program(const char *host_path, const std::vector<std::string> &args, bool quiet,
                  const std::vector<int> &pass = {});

// The host path of the file `name` in the running program's own folder;
// empty when that folder cannot be read.
std::string beside_own_program(const char *name);

}  // namespace plat

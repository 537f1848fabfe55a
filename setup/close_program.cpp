#include "setup/setup.h"

namespace {

constexpr DWORD CLOSE_POLL_MS = 500;
// An ended process's window goes with its socket; this is how long that may take.
constexpr DWORD END_WAIT_MS = 2000;

bool still_there(LPCWSTR name) { return FindWindowW(name, name) != nullptr; }

// Polls every CLOSE_POLL_MS until the window is gone; false when it is still
// there after `limit_ms` from `since` (a GetTickCount value).
bool wait_gone(LPCWSTR name, DWORD since, DWORD limit_ms) {
    while (still_there(name)) {
        if (GetTickCount() - since >= limit_ms) return false;
        Sleep(CLOSE_POLL_MS);
    }
    return true;
}

void end_process(LPCWSTR name, DWORD pid) {
    WCHAR line[160];
    HANDLE process = pid ? OpenProcess(PROCESS_TERMINATE, FALSE, pid) : nullptr;
    bool ended = process && TerminateProcess(process, 1);
    if (process) CloseHandle(process);
    if (ended)
        swprintf(line, 160, L"%ls did not close within %u s; its process %u was ended", name,
                 unsigned(CLOSE_LIMIT_MS / 1000), unsigned(pid));
    else
        swprintf(line, 160, L"%ls did not close within %u s and its process could not be ended; going on", name,
                 unsigned(CLOSE_LIMIT_MS / 1000));
    journal_write("setup", line);
    if (ended) wait_gone(name, GetTickCount(), END_WAIT_MS);
}

}  // namespace

void close_program(LPCWSTR name) {
    HWND window = FindWindowW(name, name);
    if (!window) return;
    // Asked first: once the close has begun the window may be gone.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    DWORD since = GetTickCount();
    SendMessageW(window, WM_CLOSE, 0, 0);
    if (!wait_gone(name, since, CLOSE_LIMIT_MS)) end_process(name, pid);
}

void close_system_programs(void) {
    close_program(SETUP_MANAGER_WINDOW);
    close_program(SETUP_MAIN_WINDOW);
}

#include "setup/setup.h"

namespace {

// The close is posted, so the window is looked for often at first: a program
// that closes at once is seen gone at once, as a send's reply would tell.
// After that twice a second: each look at a program that reads nothing stays
// queued at its window, and a full queue would hold the next look.
constexpr DWORD FIRST_POLL_MS = 50;
constexpr DWORD FIRST_POLLS_FOR_MS = 1000;
constexpr DWORD CLOSE_POLL_MS = 500;
// An ended process's window goes with its socket; this is how long that may take.
constexpr DWORD END_WAIT_MS = 2000;

bool still_there(LPCWSTR name) { return FindWindowW(name, name) != nullptr; }

DWORD left_of(DWORD since, DWORD limit_ms) {
    DWORD waited = GetTickCount() - since;
    return waited >= limit_ms ? 0 : limit_ms - waited;
}

// Polls until the window is gone, then waits for its
// process to end, which saves and re-arms after its window has gone; false
// when either is still there `limit_ms` after `since` (a GetTickCount value).
bool wait_gone(LPCWSTR name, HANDLE process, DWORD since, DWORD limit_ms) {
    while (still_there(name)) {
        if (left_of(since, limit_ms) == 0) return false;
        Sleep(GetTickCount() - since < FIRST_POLLS_FOR_MS ? FIRST_POLL_MS : CLOSE_POLL_MS);
    }
    return !process || WaitForSingleObject(process, left_of(since, limit_ms)) == WAIT_OBJECT_0;
}

void end_process(LPCWSTR name, HANDLE process, DWORD pid) {
    WCHAR line[160];
    bool ended = process && TerminateProcess(process, 1);
    if (ended)
        swprintf(line, 160, L"%ls did not close within %u s; its process %u was ended", name,
                 unsigned(CLOSE_LIMIT_MS / 1000), unsigned(pid));
    else
        swprintf(line, 160, L"%ls did not close within %u s and its process could not be ended; going on", name,
                 unsigned(CLOSE_LIMIT_MS / 1000));
    journal_write("setup", line);
    if (ended) wait_gone(name, process, GetTickCount(), END_WAIT_MS);
}

}  // namespace

void close_program(LPCWSTR name) {
    HWND window = FindWindowW(name, name);
    if (!window) return;
    // Asked first: once the close has begun the window may be gone.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid) : nullptr;
    DWORD since = GetTickCount();
    // Posted, not sent: a program that hangs would hold a send, and so the
    // install, for as long as it hangs; the wait below is what is bounded.
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!wait_gone(name, process, since, CLOSE_LIMIT_MS)) end_process(name, process, pid);
    if (process) CloseHandle(process);
}

void close_system_programs(void) {
    close_program(SETUP_MANAGER_WINDOW);
    close_program(SETUP_MAIN_WINDOW);
}

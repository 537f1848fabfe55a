// Starting the main program and the chime program, with bounded retries.
#include <cstdio>
#include <cwchar>

#include "manager/manager.h"
#include "store/scheduling.h"
#include "store/settings.h"

constexpr int START_ATTEMPTS = 6;
constexpr int START_RETRY_MS = 500;

namespace {

// Starts the program; after the last failed attempt the user is told.
void start_with_retries(LPCWSTR path, LPCWSTR command_line) {
    WCHAR line[64] = L"";
    if (command_line) swprintf(line, 64, L"%ls", command_line);
    for (int attempt = 0; attempt < START_ATTEMPTS; attempt++) {
        if (attempt > 0) Sleep(START_RETRY_MS);
        PROCESS_INFORMATION info;
        if (CreateProcessW(path, command_line ? line : nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                           nullptr, nullptr, nullptr, &info)) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
            return;
        }
    }
    WCHAR text[MAX_PATH + 32];
    swprintf(text, MAX_PATH + 32, L"Can't launch %ls!", path);
    MessageBoxW(nullptr, text, L"Error", MB_OK | MB_ICONERROR);
    fprintf(stderr, "Velmgr: %s\n", plat::to_utf8(text).c_str());
}

}  // namespace

void start_main_program(LPCWSTR command_line, bool wait, int id) {
    if (!Folders.InstallFolderFound) load_settings();
    WCHAR path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", Folders.InstallFolder, MAIN_PROGRAM);
    if (wait) Sleep(main_program_wait_ms(id));
    start_with_retries(path, command_line);
}

void start_chime(void) {
    WCHAR path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", Folders.InstallFolder, CHIME_PROGRAM);
    start_with_retries(path, nullptr);
}

DWORD main_program_wait_ms(int id) { return id == EVENT_ID_COUNTDOWN || id == EVENT_ID_CHIME ? 1000 : 3000; }

void post_event_to_main(HWND main, int id) {
    Sleep(main_program_wait_ms(id));
    SetForegroundWindow(main);
    PostMessageW(main, MSG_EVENT, WPARAM(id), 0);
}

void deliver_event(int id) {
    if (HWND main = FindWindowW(MAIN_WINDOW, MAIN_WINDOW)) return post_event_to_main(main, id);
    WCHAR line[16];
    swprintf(line, 16, L"/ID:%d", id);
    start_main_program(line, true, id);
}

// Stands in for the main program in the manager's tests: one hidden window
// of class and title "Velmora". It appends to "IPSM/velmora.log" of its
// device, each line led by the host clock in ms: "start <argc> <argument>",
// "activate" when brought to the front, "message <number> <wParam>" for each
// private message; with STANDIN_NOTE_CLOSE=1 also "close after-manager" (or
// "close with-manager" while a window "Velmgr" is still there) for the close
// message. It quits on WM_CLOSE, and after a minute in any case;
// STANDIN_CLOSE_DELAY_MS makes it take that long to close,
// STANDIN_IGNORE_CLOSE=1 makes it ignore the close.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"

namespace {

FILE *record;

void note(const std::string &what) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    fprintf(record, "%lld %s\n", (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000, what.c_str());
    fflush(record);
}

bool setting_on(const char *name) {
    const char *value = getenv(name);
    return value && strcmp(value, "1") == 0;
}

void on_close(void) {
    if (setting_on("STANDIN_NOTE_CLOSE"))
        note(FindWindowW(L"Velmgr", L"Velmgr") ? "close with-manager" : "close after-manager");
    if (const char *delay = getenv("STANDIN_CLOSE_DELAY_MS")) Sleep(DWORD(atoi(delay)));
}

LRESULT standin_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        on_close();
        if (setting_on("STANDIN_IGNORE_CLOSE")) return 0;
    }
    if (message >= WM_APP) note("message " + std::to_string(message) + " " + std::to_string(wparam));
    if (message == WM_ACTIVATE && wparam == WA_ACTIVE) note("activate");
    if (message == WM_TIMER || message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int main(int argc, char **argv) {
    if (!device_open(nullptr)) return 3;
    record = fopen((std::string(device_root()) + "/IPSM/velmora.log").c_str(), "a");
    if (!record) return 4;
    note("start " + std::to_string(argc - 1) + " " + (argc > 1 ? argv[1] : ""));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = standin_proc;
    wc.lpszClassName = L"Velmora";
    if (!RegisterClassW(&wc)) return 5;
    HWND window = CreateWindowExW(0, L"Velmora", L"Velmora", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 5;
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    fclose(record);
    return 0;
}

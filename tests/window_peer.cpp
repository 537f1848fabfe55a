// A program with one findable window, for the cross-process window tests.
// It appends every private message and command it receives to a file,
// answers a send with wParam + lParam, and quits on WM_CLOSE.
#include <cstdio>
#include <cstring>

#include "platform/device/device.h"
#include "platform/phone.h"

namespace {

FILE *record;

LRESULT peer_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_APP || message == WM_COMMAND) {
        fprintf(record, "%u %lu %ld\n", message, (unsigned long)wparam, (long)lparam);
        fflush(record);
        return LRESULT(wparam) + lparam;
    }
    if (message == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: window_peer DEVICE TITLE RECORD-FILE\n");
        return 2;
    }
    if (!device_open(argv[1])) return 3;
    record = fopen(argv[3], "a");
    if (!record) return 4;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = peer_proc;
    wc.lpszClassName = L"Peer";
    std::wstring title = plat::from_utf8(argv[2]);
    if (!RegisterClassW(&wc) || !CreateWindowExW(0, L"Peer", title.c_str(), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr))
        return 5;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    fclose(record);
    return int(msg.wParam);
}

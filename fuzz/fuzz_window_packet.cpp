// The window socket's packets as any program of the user may send them: each
// input is served to a window of this process as a packet from another one.
// The window must never be handed a message whose parameters the packet gave
// and which may carry an address; what is posted is dispatched at once.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_device.h"
#include "platform/phone.h"
#include "platform/window/window_ipc_testing.h"
#include "platform/window/window_wire.h"

namespace {

// The message the packet asked for when it may not cross; 0 for none.
plat::WireMessage forbidden;
bool forbidding = false;

LRESULT proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (forbidding && message == forbidden.message && lparam == LPARAM(forbidden.lparam) &&
        wparam == WPARAM(forbidden.wparam))
        abort();                        // an address from another process reached the window
    if (message == WM_CLOSE) return 0;  // the one window stays for the next input
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND make_window() {
    fuzz_device_file("");  // the device first: drops are journalled there
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = L"FuzzPacket";
    if (!RegisterClassW(&wc)) abort();
    HWND w = CreateWindowExW(0, L"FuzzPacket", L"Fuzz Packet", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!w) abort();
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static HWND window = make_window();
    forbidding = size == sizeof forbidden && (memcpy(&forbidden, data, size), true) &&
                 forbidden.kind != plat::WIRE_FOREGROUND &&
                 !plat::wire_message_plain(forbidden.message, LPARAM(forbidden.lparam));
    window_ipc_serve_packet(window, data, size);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    forbidding = false;
    fuzz_device_tidy();
    return 0;
}

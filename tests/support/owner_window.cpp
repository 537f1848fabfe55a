#include "tests/support/owner_window.h"

#include "tests/support/quit_on_term.h"

int run_owner_window(LPCWSTR class_name, LPCWSTR title, WNDPROC proc, UINT first) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = class_name;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, class_name, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (!w) return -1;
    quit_on_sigterm();
    PostMessageW(w, first, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return int(msg.wParam);
}

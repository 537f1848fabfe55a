// The resident copy's hidden window and its procedure: it relays the events
// of later copies to the main program.
#include "manager/manager.h"
#include "store/scheduling.h"

namespace {

LRESULT manager_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case MSG_EVENT:
        // Another process chose the number: only an event is relayed.
        if (event_id_valid(ULONGLONG(wparam))) deliver_event(int(wparam));
        return 0;
    case MSG_START_MAIN: start_main_program(nullptr, false, 0); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

bool create_manager_window(HINSTANCE instance, HINSTANCE previous) {
    if (!previous) {
        // Never shown, so neither icon, cursor, menu nor background matters.
        WNDCLASSW wc = {};
        wc.lpfnWndProc = manager_window_proc;
        wc.hInstance = instance;
        wc.lpszClassName = MANAGER_WINDOW;
        if (!RegisterClassW(&wc)) return false;
    }
    Manager.Window = CreateWindowExW(0, MANAGER_WINDOW, MANAGER_WINDOW, 0, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                     nullptr, nullptr, instance, nullptr);
    if (!Manager.Window) return false;
    Manager.Instance = instance;
    return true;
}

// The main window's procedure: what it does with each message it handles;
// everything else takes the default handling.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/menu_commands.h"
#include "app/status_labels.h"
#include "resources/main_resources.h"

namespace {

constexpr DWORD MENU_BAR_INFO_SIZE = 36;

LRESULT on_create(HWND window) {
    SHMENUBARINFO info = {};
    info.cbSize = MENU_BAR_INFO_SIZE;
    info.hwndParent = window;
    info.nToolBarId = IDM_MAIN_MENU;
    info.hInstRes = MainWindow.instance;
    if (!SHCreateMenuBar(&info)) MessageBoxW(window, L"SHCreateMenuBar Failed", L"Error", MB_OK);
    MainWindow.menu_bar = info.hwndMB;
    MainWindow.background_brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    return 0;
}

void open_help(void) {
    WCHAR argument[] = L"file:vel.htp#vel_help";
    PROCESS_INFORMATION process;
    if (CreateProcessW(L"peghelp", argument, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &process)) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

// Images freed on a low-memory notice come back when the window is active again.
void on_activate(void) {
    if (!MainWindow.BitmapsReleased) return;
    load_images(MainWindow.instance);
    paint_face();
    MainWindow.BitmapsReleased = 0;
}

void on_hibernate(void) {
    if (MainWindow.Closing) return;
    release_images();
    MainWindow.BitmapsReleased = 1;
}

}  // namespace

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: return on_create(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_CLOSE: begin_close(); return 0;
    case WM_PAINT:
        if (!MainWindow.Closing) paint_face();
        break;
    case WM_ACTIVATE: on_activate(); break;
    case WM_SIZE: on_screen_change(); return 0;
    case WM_SETTINGCHANGE:
        if (wparam == SETTINGCHANGE_RESET) on_screen_change();
        return 0;
    case WM_HELP: open_help(); return 0;
    case WM_COMMAND: return on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
    case WM_TIMER:
        if (wparam == TICK_TIMER_ID) on_tick_timer();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return 0;
    case WM_INITMENUPOPUP: on_init_menu_popup(reinterpret_cast<HMENU>(wparam)); return 0;
    case WM_CTLCOLORSTATIC:
        if (!is_status_label(reinterpret_cast<HWND>(lparam))) return 0;
        return label_colours(reinterpret_cast<HDC>(wparam));
    case WM_HIBERNATE: on_hibernate(); break;
    case MSG_EVENT:
    case MSG_SILENCE_ON:
    case MSG_SILENCE_OFF:
    case MSG_RELOAD_ALARMS:
    case MSG_RELOAD_CHIME:
    case MSG_RESERVED: return on_private_message(message, wparam);
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

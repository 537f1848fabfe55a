// The program's entry: one instance per device. A second start hands its
// event to the running one and ends; the first shows the clock until it is
// closed, then saves and re-arms.
#include "app/program.h"

#include "app/clock_face.h"
#include "app/main_window.h"
#include "platform/window/terminate.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

bool register_main_class(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = MainWindow.class_name;
    return RegisterClassW(&wc) != FALSE;
}

// The clock runs on its defaults rather than not at all; the person is told
// that they are not the stored settings, which are left alone.
void report_unreadable_store(HWND owner) {
    if (!Settings.LoadFailed && !Alarms.LoadFailed) return;
    char problem[256];
    reg_last_problem(problem, sizeof problem);
    WCHAR text[512];
    swprintf(text, 512,
             L"The settings could not be read: %hs\r\n\r\nVelmora shows its defaults and saves nothing over the "
             L"stored settings until it is started again.",
             problem);
    MessageBoxW(owner, text, L"Error", MB_OK | MB_ICONERROR);
}

}  // namespace

bool hand_over(LPCWSTR class_name, LPCWSTR title, int event_id) {
    HWND running = FindWindowW(class_name, title);
    if (!running) return false;
    // The low bit brings the window's own dialogs along.
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(running) | 1));
    if (event_id >= 0) PostMessageW(running, MSG_EVENT, WPARAM(event_id), 0);
    return true;
}

bool program_start(HINSTANCE instance, HINSTANCE previous, LPCWSTR command_line, int *exit_code) {
    register_app_resources();
    int event_id = parse_event_id(command_line);
    MainWindow.screen_type = screen_layout();
    LoadStringW(instance, IDS_CLASS_NAME, MainWindow.class_name, MAIN_NAME_CHARS);
    LoadStringW(instance, IDS_TITLE, MainWindow.title, MAIN_NAME_CHARS);
    if (hand_over(MainWindow.class_name, MainWindow.title, event_id)) {
        *exit_code = EXIT_HANDED_OVER;
        return false;
    }
    *exit_code = 0;
    init_common_controls();
    if (!previous && !register_main_class(instance)) return false;
    if (!create_main_window(instance)) return false;
    MainWindow.Closing = 0;
    MainWindow.BitmapsReleased = 0;
    MainWindow.AlarmRinging = 0;
    SoundPlayer.LibraryUsers = 0;
    MainWindow.SnoozePending = 0;
    // An event is handled from the loop, once the window shows; it re-arms
    // what it must itself.
    if (event_id < 0)
        schedule_all(MainWindow.window);
    else
        PostMessageW(MainWindow.window, MSG_EVENT, WPARAM(event_id), 0);
    PostMessageW(MainWindow.window, WM_PAINT, 0, 0);
    reset_tick_cache();
    SetTimer(MainWindow.window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    report_unreadable_store(MainWindow.window);
    return true;
}

int run_message_loop(void) {
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return int(msg.wParam);
}

int velmora_main(HINSTANCE instance, HINSTANCE previous, LPCWSTR command_line, int) {
    close_windows_on_terminate();
    int exit_code;
    if (!program_start(instance, previous, command_line, &exit_code)) return exit_code;
    exit_code = run_message_loop();
    program_end();
    return exit_code;
}

// What the soft-key menus' commands do; anything that is no command of the
// menus takes the default handling.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/menu_commands.h"
#include "app/status_labels.h"
#include "dialogs/dialogs.h"
#include "resources/main_resources.h"
#include "store/rebuild.h"
#include "store/scheduling.h"
#include "store/settings.h"

namespace {

constexpr WCHAR MANAGER_WINDOW_NAME[] = L"Velmgr";

void set_alarms(void) {
    run_set_alarm(MainWindow.window);
    MainWindow.SnoozePending = 0;
    save_settings();
    // The next-alarm line shows what was just set.
    InvalidateRect(MainWindow.window, nullptr, FALSE);
}

void set_snooze(void) {
    if (run_set_snooze(MainWindow.window) == IDOK) save_settings();
}

// ShowITime may have changed, so the lines under the face are made anew; a
// resident manager ends, so that its next start reads the new settings.
void general_settings(void) {
    if (run_settings(MainWindow.window) != IDOK) return;
    save_settings();
    InvalidateRect(MainWindow.window, nullptr, TRUE);
    destroy_labels();
    create_labels();
    paint_face();
    HWND manager = FindWindowW(MANAGER_WINDOW_NAME, MANAGER_WINDOW_NAME);
    if (manager) SendMessageW(manager, WM_CLOSE, 0, 0);
}

// The chime program may have replaced the chime's handle meanwhile.
void chime(void) {
    if (run_hourly_chime(MainWindow.window) != IDOK) return;
    reload_chime_handle();
    if (Settings.Chime)
        schedule_chime(MainWindow.window);
    else
        clear_chime();
    save_chime_settings();
}

// Each alarm's next regular occurrence replaces a pending snooze.
void cancel_snooze(void) {
    schedule_all(MainWindow.window);
    MainWindow.SnoozePending = 0;
}

void silence_all(void) {
    set_silenced(!Settings.Silenced);
    RECT bell = bell_rect();
    InvalidateRect(MainWindow.window, &bell, FALSE);
}

void exit_program(void) {
    begin_close();
    PostQuitMessage(0);
}

}  // namespace

LRESULT on_command(WORD command, WORD code, HWND source) {
    if (code == 0 && on_mode_command(command)) return 0;
    if (code == 0) {
        switch (command) {
            case IDM_SET_ALARMS:
                set_alarms();
                return 0;
            case IDM_SET_SNOOZE:
                set_snooze();
                return 0;
            case IDM_GENERAL_SETTINGS:
                general_settings();
                return 0;
            case IDM_ABOUT:
                run_about(MainWindow.window);
                return 0;
            case IDM_CHIME:
                chime();
                return 0;
            case IDM_SILENCE_ALL:
                silence_all();
                return 0;
            case IDM_CANCEL_SNOOZE:
                cancel_snooze();
                return 0;
            case IDM_REBUILD_ALARMS:
                rebuild_notifications(MainWindow.window);
                return 0;
            case IDM_EXIT:
                exit_program();
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(MainWindow.window, WM_COMMAND, WPARAM(MAKELONG(command, code)),
                          reinterpret_cast<LPARAM>(source));
}

// Making the main window: the settings and alarms it shows, the face laid
// out for the screen, and a countdown that outlived a restart.
#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "app/window_modes.h"
#include "store/alarms.h"
#include "store/settings.h"

MainWindowState MainWindow;

// The dialogs' date-and-time picker, spin boxes, sound list and folder tree
// need their classes before any dialog opens.
void init_common_controls(void) {
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_DATE_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}

bool create_main_window(HINSTANCE instance) {
    MainWindow.instance = instance;
    // The store first: a registry held by another program keeps the start
    // waiting a few seconds at most, and never with a window that others can
    // reach but that does not answer.
    load_store();
    HWND window = CreateWindowExW(0, MainWindow.class_name, MainWindow.title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window || !IsWindow(window)) return false;
    MainWindow.window = window;
    MainWindow.mode = MODE_CLOCK;
    init_common_controls();
    if (Settings.Countdown) MainWindow.mode = MODE_COUNTDOWN;
    compute_layout();
    create_labels();
    refresh_next_alarm();
    load_images(instance);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    if (Settings.Countdown) set_mode(MODE_COUNTDOWN);
    return true;
}

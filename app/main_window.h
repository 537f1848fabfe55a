// The clock's one top-level window: its state record, the private messages
// other programs post to it, and its window procedure.
#pragma once

#include "platform/phone.h"
#include "store/messages.h"

#define TICK_TIMER_ID 5
#define TICK_PERIOD_MS 1000

#define MAIN_NAME_CHARS 32

enum WindowMode { MODE_CLOCK = 0, MODE_SLEEP = 1, MODE_COUNTDOWN = 2 };

struct MainWindowState {
    HWND window;
    HWND menu_bar;
    HINSTANCE instance;
    WCHAR class_name[MAIN_NAME_CHARS];
    WCHAR title[MAIN_NAME_CHARS];
    int mode;         // WindowMode
    int screen_type;  // the layout selector last used
    int Closing;      // shutdown began; never cleared
    int BitmapsReleased;
    BYTE AlarmRinging;
    BYTE SnoozePending;
    HBRUSH background_brush;
};

extern MainWindowState MainWindow;

// The common controls the dialogs use.
void init_common_controls(void);

LRESULT main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Creates the window, loads settings and alarms, lays out the face; false
// when the window could not be made.
bool create_main_window(HINSTANCE instance);

// What the window does with the private messages.
LRESULT on_private_message(UINT message, WPARAM wparam);
// A size or screen-setting change: rebuilds the face when the layout changed.
void on_screen_change(void);
// Shutdown begins: the timer stops, sleep ends, the window goes.
void begin_close(void);
// One second of the clock.
void on_tick_timer(void);
// Silenced on or off, every alarm re-armed, the settings saved.
void set_silenced(bool on);

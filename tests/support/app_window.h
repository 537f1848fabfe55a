// The clock's window run in-process on the headless screen of a temporary
// device, with the device clock frozen and the one-second timer stopped, so
// that a test ticks it itself.
#pragma once

#include <functional>
#include <string>

#include "app/clock_face.h"
#include "app/main_window.h"
#include "app/program.h"
#include "tests/support/temp_device.h"

class AppWindow : public TempDevice {
protected:
    void SetUp() override;
    void TearDown() override;

    // Before start(): the screen size and settings the program will load.
    void screen(const char *size);
    void settings(const std::function<void()> &change);
    void freeze_at(int hour, int minute, int second = 10);

    // Runs the program's start-up and its first messages.
    void start(const wchar_t *command_line = nullptr);
    // Dispatches everything pending and composes the screen.
    void pump();
    // One second of the clock, as the timer delivers it.
    void tick_timer();
    // Closes the window and ends the program as after its loop.
    void stop();

    COLORREF pixel(int x, int y);
    // Pixels inside `target` (clipped to the client area) that differ from
    // the background with the bitmap `id` drawn over it from the target's
    // corner, tinted with `colour`; `id` 0: background only.
    int mismatches(RECT target, int id, COLORREF colour = RGB(255, 255, 0));
    RECT slot_rect(int slot);
    std::wstring text_of(HWND window);

    bool running = false;
};

// The digit images of each layout, as the tests expect them.
int digit_id(int layout_selector, int digit);
int blank_id(int layout_selector);
int colon_id(int layout_selector);
int am_id(int layout_selector);
int pm_id(int layout_selector);

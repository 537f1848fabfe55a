// For the test programs that show dialogs: a plain dark window to own them,
// and the message loop that runs until the program is told to quit.
#pragma once

#include "platform/phone.h"

// Makes a visible window of a new class `class_name` with procedure `proc`,
// posts it `first` and runs the loop until WM_QUIT or SIGTERM. Returns
// WM_QUIT's code, or -1 when the window could not be made.
int run_owner_window(LPCWSTR class_name, LPCWSTR title, WNDPROC proc, UINT first);

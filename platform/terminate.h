// How the host asks a program to end: SIGTERM or SIGINT becomes WM_CLOSE to
// its main window, as the phone's shell closes a program, so that it ends
// through its message loop and saves what it must.
#pragma once

#include "platform/window.h"

// From now on the two signals post WM_CLOSE to `window`; false when they
// cannot be watched.
bool close_window_on_terminate(HWND window);

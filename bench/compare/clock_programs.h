// The clock and its peer as the window measurements start them.
#pragma once

#include <sys/types.h>

#include <string>

// The clock on the device folder, headless or in a window on the display.
pid_t start_clock(bool window, const std::string &display, const std::string &device);
// xclock -digital -update 1 on the display.
pid_t start_xclock(const std::string &xclock, const std::string &display);

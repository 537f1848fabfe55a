// The clock and its peer as the window measurements start them.
#pragma once

#include <sys/types.h>

#include <string>

// The clock on a fresh device of its own, headless or in a window on the
// display; `device` gets the folder to remove once it ended.
pid_t start_clock(bool window, const std::string &display, std::string *device);
// xclock -digital -update 1 on the display.
pid_t start_xclock(const std::string &xclock, const std::string &display);
// Stops the clock and removes its device and its sockets' folder.
void stop_clock(pid_t pid, const std::string &device);

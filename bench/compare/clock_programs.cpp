#include "bench/compare/clock_programs.h"

#include "bench/compare/compare.h"

pid_t start_clock(bool window, const std::string &display, const std::string &device) {
    return spawn_with({VELMORA_PROGRAM},
                      {"VELMORA_DEVICE=" + device, "VELMORA_NOTIFYD=off",
                       std::string("VELMORA_SCREEN=") + (window ? "sdl" : "headless"), "DISPLAY=" + display});
}

pid_t start_xclock(const std::string &xclock, const std::string &display) {
    return spawn_with({xclock, "-digital", "-update", "1"}, {"DISPLAY=" + display});
}

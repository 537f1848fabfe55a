#include "bench/compare/clock_programs.h"

#include "bench/compare/compare.h"
#include "bench/bench_device.h"
#include "tests/support/temp_device.h"

pid_t start_clock(bool window, const std::string &display, std::string *device) {
    *device = make_temp_folder("compare-clock");
    return spawn_with({VELMORA_PROGRAM},
                      {"VELMORA_DEVICE=" + *device, "VELMORA_NOTIFYD=off",
                       std::string("VELMORA_SCREEN=") + (window ? "sdl" : "headless"), "DISPLAY=" + display});
}

pid_t start_xclock(const std::string &xclock, const std::string &display) {
    return spawn_with({xclock, "-digital", "-update", "1"}, {"DISPLAY=" + display});
}

void stop_clock(pid_t pid, const std::string &device) {
    if (pid > 0) stop_program(pid);
    bench_remove_device(device);
}

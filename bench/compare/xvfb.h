// A private Xvfb for the window measurements, its framebuffer readable as a
// file, and the programs started on it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct Xvfb {
    pid_t pid = -1;
    std::string display;  // ":N"
    std::string fbdir;    // holds Xvfb_screen0, the live framebuffer (XWD)
};

// Starts Xvfb at 1024x768x24 on a free display; false when it did not come up.
bool xvfb_start(const std::string &program, Xvfb &x);
void xvfb_stop(Xvfb &x);

// The framebuffer mapped read-only: 32-bit pixels, B G R X in memory.
struct Framebuffer {
    const unsigned char *pixels = nullptr;
    size_t bytes_per_line = 0;
    int width = 0, height = 0;
    void *map = nullptr;
    size_t length = 0;
};
bool framebuffer_open(const Xvfb &x, Framebuffer &fb);
void framebuffer_close(Framebuffer &fb);

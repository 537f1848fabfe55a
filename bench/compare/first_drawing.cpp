// (c) From the start of the program to its first drawing on the screen, the
// clock in its window and xclock -digital alternately on one Xvfb; and
// from the window appearing (mapped) to that drawing. The drawing is read
// from Xvfb's framebuffer: the clock's face has its yellow digits, xclock's
// its black text on white.
#include <poll.h>

#include <cstdio>

#include "bench/bench_device.h"
#include "bench/compare/clock_programs.h"
#include "bench/compare/compare.h"
#include "bench/compare/xvfb.h"
#include "tests/support/temp_device.h"

// Last: its macros (None, Bool) would rename what the headers above declare.
#include <X11/Xlib.h>

namespace {

constexpr double GIVE_UP_MS = 10000;

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The first top-level window mapped, and when; false after GIVE_UP_MS.
bool wait_for_map(Display *d, double started, Rect *r, double *mapped) {
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != MapNotify || e.xmap.override_redirect) continue;
            *mapped = monotonic_ms();
            XWindowAttributes a;
            if (!XGetWindowAttributes(d, e.xmap.window, &a)) continue;
            *r = Rect{a.x, a.y, a.width, a.height};
            return true;
        }
        double left = GIVE_UP_MS - (monotonic_ms() - started);
        if (left <= 0) return false;
        pollfd p = {ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, int(left) + 1);
    }
}

const unsigned char *pixel(const Framebuffer &fb, int x, int y) {
    return fb.pixels + size_t(y) * fb.bytes_per_line + size_t(x) * 4;
}

bool yellow(const unsigned char *p) { return p[0] < 40 && p[1] > 200 && p[2] > 200; }
bool black(const unsigned char *p) { return p[0] < 60 && p[1] < 60 && p[2] < 60; }
bool white(const unsigned char *p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }

// The clock's face is on screen: a yellow digit pixel.
bool face_drawn(const Framebuffer &fb, const Rect &r) {
    for (int y = r.y; y < r.y + r.h && y < fb.height; y++)
        for (int x = r.x; x < r.x + r.w && x < fb.width; x++)
            if (yellow(pixel(fb, x, y))) return true;
    return false;
}

// xclock's text is on screen: a black pixel between white ones on its row.
bool text_drawn(const Framebuffer &fb, const Rect &r) {
    for (int y = r.y; y < r.y + r.h && y < fb.height; y++)
        for (int x = r.x + 1; x + 1 < r.x + r.w && x + 1 < fb.width; x++)
            if (black(pixel(fb, x, y)) && white(pixel(fb, x - 1, y)) && white(pixel(fb, r.x + r.w - 1, y))) return true;
    return false;
}

struct Start {
    std::vector<double> to_drawing, map_to_drawing;
};

// One start of the clock on `device` (ours) or of xclock, measured until its
// drawing shows.
void measure_start(Display *d, const Framebuffer &fb, const std::string &device, const CompareOptions &o, const Xvfb &x,
                   Start &s) {
    XSync(d, True);  // nothing from the last start
    bool ours = !device.empty();
    double started = monotonic_ms();
    pid_t pid = ours ? start_clock(true, x.display, device) : start_xclock(o.xclock, x.display);
    Rect r;
    double mapped = 0, drawn = -1;
    if (pid > 0 && wait_for_map(d, started, &r, &mapped)) {
        while (drawn < 0 && monotonic_ms() - started < GIVE_UP_MS)
            if (ours ? face_drawn(fb, r) : text_drawn(fb, r)) drawn = monotonic_ms();
    }
    if (drawn >= 0) {
        s.to_drawing.push_back(drawn - started);
        s.map_to_drawing.push_back(drawn - mapped);
    }
    if (pid > 0) stop_program(pid);
    sleep_ms(300);  // the window gone, the server idle
}

}  // namespace

void compare_first_drawing(const CompareOptions &o, std::vector<CompareRow> &rows) {
    CompareRow to_drawing, map_to_drawing;
    to_drawing.what = "start to first drawing ms, window";
    to_drawing.most = 1.5;
    map_to_drawing.what = "window mapped to first drawing ms";
    map_to_drawing.most_ours = 5;
    Xvfb x;
    Framebuffer fb;
    Display *d = nullptr;
    std::string missing = o.xvfb.empty() ? "Xvfb missing (package xvfb)" : "";
    if (missing.empty() && !xvfb_start(o.xvfb, x)) missing = "Xvfb did not start";
    if (missing.empty() && !framebuffer_open(x, fb)) missing = "Xvfb's framebuffer cannot be read";
    if (missing.empty() && !(d = XOpenDisplay(x.display.c_str()))) missing = "cannot reach Xvfb";
    bool peer = !o.xclock.empty();
    Start ours, theirs;
    if (missing.empty()) {
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        // One device for every start, as a clock is started again and again;
        // only the first makes its databases.
        std::string device = make_temp_folder("compare-clock");
        for (int i = 0; i < o.starts; i++) {
            measure_start(d, fb, device, o, x, ours);
            if (peer) measure_start(d, fb, "", o, x, theirs);
        }
        bench_remove_device(device);
        if (ours.to_drawing.size() != size_t(o.starts)) missing = "the clock's face did not appear every time";
        if (peer && theirs.to_drawing.size() != size_t(o.starts)) missing = "xclock's text did not appear every time";
        if (!peer) to_drawing.missing = "xclock missing (package x11-apps)";
    }
    if (d) XCloseDisplay(d);
    framebuffer_close(fb);
    xvfb_stop(x);
    to_drawing.ours = percentile(ours.to_drawing, 0.5);
    map_to_drawing.ours = percentile(ours.map_to_drawing, 0.5);
    if (peer) {
        to_drawing.theirs = percentile(theirs.to_drawing, 0.5);
        map_to_drawing.theirs = percentile(theirs.map_to_drawing, 0.5);
        to_drawing.whose = map_to_drawing.whose = "xclock";
    }
    if (!missing.empty()) to_drawing.missing = map_to_drawing.missing = missing;
    rows.push_back(to_drawing);
    rows.push_back(map_to_drawing);
}

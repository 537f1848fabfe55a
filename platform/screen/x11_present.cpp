// The frame straight to the X server, scaled x2: the pixels that changed
// since the last frame go in one PutImage, and nothing waits for an answer,
// so a tick of the clock costs one wake-up. SDL's own window surface would
// wait for the server after every frame. Only the box the screen composed
// since the last frame is compared; the rest of the frame is as it was.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/screen/screen.h"

namespace plat {

namespace {

struct X11Present {
    Display *display = nullptr;
    ::Window window = 0;
    GC gc = nullptr;
    XImage *image = nullptr;
    std::vector<uint32_t> pixels;     // the image's rows, as the server takes them
    std::vector<unsigned char> last;  // the frame they were made from
    bool whole = true;                // the next frame goes whole (exposed, resized)
};

X11Present &xp() {
    static X11Present x;
    return x;
}

// The default visual takes 32-bit pixels with red, green and blue bytes
// (every common X server); other visuals are left to SDL.
bool plain_true_colour(Display *d) {
    Visual *v = DefaultVisual(d, DefaultScreen(d));
    return DefaultDepth(d, DefaultScreen(d)) == 24 && v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 &&
           v->blue_mask == 0xFF;
}

void drop_image(X11Present &x) {
    if (!x.image) return;
    x.image->data = nullptr;  // the vector's memory
    XDestroyImage(x.image);
    x.image = nullptr;
}

bool make_image(X11Present &x, int w, int h) {
    drop_image(x);
    x.pixels.assign(size_t(w) * WINDOW_SCALE * size_t(h) * WINDOW_SCALE, 0);
    x.last.assign(size_t(w) * 3 * size_t(h), 0);
    Visual *v = DefaultVisual(x.display, DefaultScreen(x.display));
    x.image = XCreateImage(x.display, v, 24, ZPixmap, 0, reinterpret_cast<char *>(x.pixels.data()),
                           unsigned(w * WINDOW_SCALE), unsigned(h * WINDOW_SCALE), 32, 0);
    x.whole = true;
    return x.image != nullptr;
}

// The frame's pixels that changed, as a box; empty when none did.
struct Changed {
    int left = 0, top = 0, right = -1, bottom = -1;
    void add(int x0, int x1, int y) {
        if (right < 0) left = x0, top = y;
        left = left < x0 ? left : x0;
        right = right > x1 ? right : x1;
        bottom = y;
    }
};

static_assert(WINDOW_SCALE == 2, "the image rows below double each pixel by hand");

// Writes the pixels `from` to `to` of one frame row that differ from the kept
// ones into two image rows, and adds what changed in them.
void scale_row(const unsigned char *src, unsigned char *kept, int from, int to, int y, uint32_t *top, uint32_t *below,
               Changed &c) {
    size_t bytes = size_t(to - from) * 3;
    src += from * 3;
    kept += from * 3;
    if (memcmp(src, kept, bytes) == 0) return;
    memcpy(kept, src, bytes);
    int first = -1, last = -1;
    for (int i = from; i < to; i++, src += 3) {
        uint32_t p = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16;
        if (top[2 * i] == p) continue;
        if (first < 0) first = i;
        last = i;
        top[2 * i] = top[2 * i + 1] = p;
    }
    if (first < 0) return;
    memcpy(below + 2 * first, top + 2 * first, size_t(last - first + 1) * WINDOW_SCALE * sizeof(uint32_t));
    c.add(first, last, y);
}

// Brings the image up to the frame where it was composed since the last
// one, all of it after an exposure: O(pixels composed) to compare and scale.
// The box that changed; empty when nothing did.
Changed take_frame(X11Present &x, const Surface &frame) {
    RECT box, all = {0, 0, frame.width, frame.height};
    bool composed = screen_take_unpresented(&box);
    Changed c;
    if (x.whole)
        box = all;
    else if (!composed)
        return c;
    IntersectRect(&box, &box, &all);
    int row_pixels = frame.width * WINDOW_SCALE;
    for (int y = int(box.top); y < int(box.bottom); y++) {
        uint32_t *top = x.pixels.data() + size_t(2 * y) * size_t(row_pixels);
        unsigned char *kept = x.last.data() + size_t(y) * size_t(frame.width) * 3;
        scale_row(frame.row0 + y * frame.stride, kept, int(box.left), int(box.right), y, top, top + row_pixels, c);
    }
    if (x.whole) c = Changed{0, 0, frame.width - 1, frame.height - 1};
    x.whole = false;
    return c;
}

bool fits(const X11Present &x, const Surface &frame) {
    return x.image && frame.width * WINDOW_SCALE == x.image->width && frame.height * WINDOW_SCALE == x.image->height;
}

}  // namespace

bool x11_present_open(void *display, unsigned long window, int w, int h) {
    X11Present &x = xp();
    x.display = static_cast<Display *>(display);
    x.window = window;
    if (!plain_true_colour(x.display)) return false;
    x.gc = XCreateGC(x.display, x.window, 0, nullptr);
    return x.gc && make_image(x, w, h);
}

bool x11_present_resize(int w, int h) { return xp().gc && make_image(xp(), w, h); }

void x11_present_expose(void) { xp().whole = true; }

// Only the box that changed travels, so that it fits the socket's buffer and
// the write never waits for the server.
void x11_present(const Surface &frame) {
    X11Present &x = xp();
    if (!fits(x, frame)) return;
    Changed c = take_frame(x, frame);
    if (c.right < 0) return;
    int left = c.left * WINDOW_SCALE, top = c.top * WINDOW_SCALE;
    XPutImage(x.display, x.window, x.gc, x.image, left, top, left, top, unsigned((c.right - c.left + 1) * WINDOW_SCALE),
              unsigned((c.bottom - c.top + 1) * WINDOW_SCALE));
    XFlush(x.display);
}

unsigned long x11_present_pixmap(const Surface &frame) {
    X11Present &x = xp();
    if (!fits(x, frame)) return 0;
    take_frame(x, frame);
    unsigned w = unsigned(x.image->width), h = unsigned(x.image->height);
    Pixmap pixmap = XCreatePixmap(x.display, x.window, w, h, 24);
    XPutImage(x.display, pixmap, x.gc, x.image, 0, 0, 0, 0, w, h);
    return pixmap;
}

}  // namespace plat

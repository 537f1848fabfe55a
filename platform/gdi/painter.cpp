// The painter: the only code that writes pixels. It clips everything to the
// target and to the caller's clip rectangle.
#include <algorithm>
#include <cstring>

#include "platform/gdi/surface.h"
#include "platform/window/window.h"

namespace plat {

namespace {

constexpr int MAX_SIDE = 8192;

// The part of `area` inside both the clip and the target.
bool clipped(const Surface &dst, const RECT &area, const RECT &clip, RECT *out) {
    RECT bounds = {0, 0, dst.width, dst.height}, r;
    return IntersectRect(&r, &area, &clip) && IntersectRect(out, &r, &bounds);
}

inline void put(unsigned char *p, COLORREF c) {
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

inline bool is_key(const unsigned char *p, const COLORREF *key) {
    return key && p[0] == GetBValue(*key) && p[1] == GetGValue(*key) && p[2] == GetRValue(*key);
}

}  // namespace

int surface_row_bytes(int width) { return (width * 3 + 3) & ~3; }

bool surface_alloc(Surface &s, int width, int height, bool bottom_up) {
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
    int row = surface_row_bytes(width);
    s.store.assign(size_t(row) * height, 0);
    s.width = width;
    s.height = height;
    s.stride = bottom_up ? -row : row;
    s.row0 = bottom_up ? s.store.data() + size_t(row) * (height - 1) : s.store.data();
    return true;
}

COLORREF surface_get(const Surface &s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return 0xFFFFFFFF;
    const unsigned char *p = s.pixel(x, y);
    return RGB(p[2], p[1], p[0]);
}

void paint_fill(Surface &dst, RECT area, const RECT &clip, COLORREF colour) {
    RECT r;
    if (!clipped(dst, area, clip, &r)) return;
    unsigned char first[3];
    put(first, colour);
    for (int y = r.top; y < r.bottom; y++) {
        unsigned char *p = dst.pixel(r.left, y);
        for (int x = r.left; x < r.right; x++, p += 3) memcpy(p, first, 3);
    }
}

void paint_copy(Surface &dst, int x, int y, const Surface &src, RECT from, const RECT &clip, const COLORREF *key) {
    // (dx, dy) turns source coordinates into target coordinates.
    int dx = x - int(from.left), dy = y - int(from.top);
    RECT src_bounds = {0, 0, src.width, src.height};
    if (!IntersectRect(&from, &from, &src_bounds)) return;
    RECT to = {from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
    RECT r;
    if (!clipped(dst, to, clip, &r)) return;
    int width = int(r.right - r.left);
    // Copying down within one surface: walk the rows from the bottom.
    bool upward = &dst == &src && dy > 0;
    for (int i = 0; i < r.bottom - r.top; i++) {
        int row = upward ? int(r.bottom - 1 - i) : int(r.top + i);
        unsigned char *d = dst.pixel(r.left, row);
        const unsigned char *s = src.pixel(r.left - dx, row - dy);
        if (!key) {
            memmove(d, s, size_t(width) * 3);
            continue;
        }
        for (int k = 0; k < width; k++, d += 3, s += 3)
            if (!is_key(s, key)) memcpy(d, s, 3);
    }
}

void paint_stretch(Surface &dst, const RECT &to, const Surface &src, const RECT &from, const RECT &clip,
                   const COLORREF *key) {
    int tw = int(to.right - to.left), th = int(to.bottom - to.top);
    int fw = int(from.right - from.left), fh = int(from.bottom - from.top);
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) return;
    RECT r;
    if (!clipped(dst, to, clip, &r)) return;
    for (int y = r.top; y < r.bottom; y++) {
        int sy = int(from.top + (long long)(y - to.top) * fh / th);
        if (sy < 0 || sy >= src.height) continue;
        unsigned char *d = dst.pixel(r.left, y);
        for (int x = r.left; x < r.right; x++, d += 3) {
            int sx = int(from.left + (long long)(x - to.left) * fw / tw);
            if (sx < 0 || sx >= src.width) continue;
            const unsigned char *s = src.pixel(sx, sy);
            if (!is_key(s, key)) memmove(d, s, 3);
        }
    }
}

void paint_coverage(Surface &dst, int x, int y, const unsigned char *coverage, int width, int height, int pitch,
                    const RECT &clip, COLORREF colour) {
    RECT area = {x, y, x + width, y + height}, r;
    if (!coverage || !clipped(dst, area, clip, &r)) return;
    const int ink[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    for (int row = r.top; row < r.bottom; row++) {
        const unsigned char *c = coverage + (row - y) * pitch + (r.left - x);
        unsigned char *d = dst.pixel(r.left, row);
        for (int col = r.left; col < r.right; col++, c++, d += 3) {
            int a = *c;
            if (a == 0) continue;
            for (int k = 0; k < 3; k++) d[k] = (unsigned char)((ink[k] * a + d[k] * (255 - a) + 127) / 255);
        }
    }
}

}  // namespace plat

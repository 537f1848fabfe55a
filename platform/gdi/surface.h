// Pixels and the one painter that writes them. Every bitmap, window and the
// screen itself is a Surface: 24-bit pixels stored blue, green, red, as the
// phone's device-independent bitmaps hold them, rows padded to 4 bytes.
// Internal to the platform.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/core/types.h"

namespace plat {

struct Surface {
    int width = 0;
    int height = 0;
    unsigned char *row0 = nullptr;  // the top row
    ptrdiff_t stride = 0;           // bytes to the row below; negative for bottom-up storage
    std::vector<unsigned char> store;

    unsigned char *pixel(int x, int y) const { return row0 + y * stride + ptrdiff_t(x) * 3; }
    // The lowest address of the pixel memory, as the phone hands it out.
    unsigned char *bits() const { return stride < 0 ? row0 + (height - 1) * stride : row0; }
};

// Bytes in one row of `width` pixels, padded to a multiple of 4.
int surface_row_bytes(int width);
// Gives the surface its own zeroed (black) pixels; false when too large.
bool surface_alloc(Surface &s, int width, int height, bool bottom_up = false);

// The painter. `clip` is in the target's coordinates; nothing outside it or
// outside the target is written.
void paint_fill(Surface &dst, RECT area, const RECT &clip, COLORREF colour);
// Copies `from` of `src` so that its top-left lands on (x, y); pixels of `*key` are skipped when a key
// is given. Source pixels outside `src` are not drawn.
void paint_copy(Surface &dst, int x, int y, const Surface &src, RECT from, const RECT &clip, const COLORREF *key);
// Scales `from` onto `to` (nearest pixel).
void paint_stretch(Surface &dst, const RECT &to, const Surface &src, const RECT &from, const RECT &clip,
                   const COLORREF *key);
// Blends `colour` into the target by an 8-bit coverage map (anti-aliased text
// and shapes).
void paint_coverage(Surface &dst, int x, int y, const unsigned char *coverage, int width, int height, int pitch,
                    const RECT &clip, COLORREF colour);

COLORREF surface_get(const Surface &s, int x, int y);

}  // namespace plat

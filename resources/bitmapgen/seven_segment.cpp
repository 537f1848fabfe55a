#include "seven_segment.h"

#include <cmath>

#include "shapes.h"
#include "tint_key.h"

namespace {

// Segments a..g as bits 0..6: a top, b top right, c bottom right, d bottom,
// e bottom left, f top left, g middle.
constexpr unsigned char DIGIT_SEGMENTS[10] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F,
};

// Centre lines of the figure: the frame of an 8.
struct Frame {
    double left, right, top, middle, bottom, half;
};

Frame frame_of(const SegmentStyle &s) {
    double half = s.thickness / 2.0;
    // The middle bar's edges fall on whole pixels whatever the thickness.
    double middle = std::floor(s.height / 2.0 - half) + half;
    return {s.margin_x + half, s.width - s.margin_x - half, s.margin_y + half, middle,
            s.height - s.margin_y - half, half};
}

// A bar with pointed 45-degree ends along a centre line from a to b.
Contour segment(Pt a, Pt b, double half, double gap) {
    bool across = a.y == b.y;
    double from = (across ? a.x : a.y) + gap, to = (across ? b.x : b.y) - gap;
    double at = across ? a.y : a.x;
    Contour c = {{from, at}, {from + half, at - half}, {to - half, at - half},
                 {to, at},   {to - half, at + half},   {from + half, at + half}};
    if (!across)
        for (Pt &p : c) p = {p.y, p.x};
    return c;
}

}  // namespace

Image seven_segment_digit(const SegmentStyle &style, int digit) {
    Frame f = frame_of(style);
    const Pt ends[7][2] = {
        {{f.left, f.top}, {f.right, f.top}},          {{f.right, f.top}, {f.right, f.middle}},
        {{f.right, f.middle}, {f.right, f.bottom}},   {{f.left, f.bottom}, {f.right, f.bottom}},
        {{f.left, f.middle}, {f.left, f.bottom}},     {{f.left, f.top}, {f.left, f.middle}},
        {{f.left, f.middle}, {f.right, f.middle}},
    };
    Path lit;
    for (int s = 0; s < 7; s++)
        if (DIGIT_SEGMENTS[digit] & (1 << s)) add_shape(lit, segment(ends[s][0], ends[s][1], f.half, style.gap));
    Image image = make_image(style.width, style.height, KEY_BLACK);
    fill_crisp(image, lit, TINT_KEY);
    return image;
}

Image colon_dots(const SegmentStyle &style, int width, int height, double centre_x) {
    Frame f = frame_of(style);
    double half = f.half;
    Path dots;
    for (double cy : {(f.top + f.middle) / 2, (f.middle + f.bottom) / 2}) {
        double top = std::round(cy - half);
        add_shape(dots, rect(centre_x - half, top, centre_x + half, top + style.thickness));
    }
    Image image = make_image(width, height, KEY_BLACK);
    fill_crisp(image, dots, TINT_KEY);
    return image;
}

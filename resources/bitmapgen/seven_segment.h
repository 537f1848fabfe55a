// Seven-segment figures and the colon between hours and minutes.
#pragma once

#include "image.h"

struct SegmentStyle {
    int width, height;   // the digit image
    int margin_x, margin_y;
    int thickness;       // of a segment, in pixels
    double gap;          // between neighbouring segment tips, along the joint
};

Image seven_segment_digit(const SegmentStyle &style, int digit);
// Two square dots at the middles of the digit's upper and lower halves, in an
// image of the given size, centred on column centre_x.
Image colon_dots(const SegmentStyle &style, int width, int height, double centre_x);

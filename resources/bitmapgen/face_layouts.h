// The three clock faces: where the clock puts each image on the screen, and
// the ids and sizes of the images each one uses. The images are drawn to fit
// these places: digits fill their slots, the words sit centred over the
// digits, and the background's panel holds everything the face shows.
#pragma once

#include "seven_segment.h"

struct ImageSpec {
    int id, width, height;  // id 0: the layout has no such image
};

struct FaceLayout {
    const char *name;
    int client_width, client_height;
    int face_width, face_height;
    int slot_width, slot_height, digit_gap, left_margin, top_offset;
    SegmentStyle digit;  // the digit images, which may be narrower than the slot
    int digit_ids[10];
    ImageSpec blank, colon_shown, colon_hidden;
    ImageSpec am, pm;
    int strip_dx;  // from the face's left edge, 20 pixels above its top
    ImageSpec banner;
    int banner_dx;
    ImageSpec bell;
    int bell_dx, bell_dy;  // from the face's top-left corner
    ImageSpec background;
    // The light frame's width on each side of the black panel; the panel
    // must hold the strip, the bell, the digits and the status lines.
    int frame_left, frame_top, frame_right, frame_bottom;
};

enum Slot { HOUR_TENS, HOUR_UNITS, COLON, MINUTE_TENS, MINUTE_UNITS, SLOT_COUNT };

constexpr int COLON_SLOT_WIDTH = 20;
constexpr int INDICATOR_RISE = 20;  // the AM/PM strip and banner sit this far above the face

extern const FaceLayout FACE_LAYOUTS[3];

int face_left(const FaceLayout &f);
int face_top(const FaceLayout &f);
int slot_x(const FaceLayout &f, Slot slot);
int slot_y(const FaceLayout &f);
// Screen column midway between the first digit's left edge and the last's right.
double digits_centre(const FaceLayout &f);

#include "face_layouts.h"

const FaceLayout FACE_LAYOUTS[3] = {
    {"large", 240, 266, 220, 140, 40, 110, 10, 10, 45,
     {40, 110, 1, 2, 9, 1.6},
     {205, 206, 207, 208, 209, 210, 211, 212, 213, 214},
     {215, 40, 110}, {217, 20, 90}, {216, 21, 90},
     {116, 200, 22}, {117, 200, 22}, 21,
     {200, 200, 22}, 20,
     {193, 16, 16}, 2, -20,
     {308, 240, 266}, 8, 14, 8, 14},
    {"small", 176, 180, 156, 75, 29, 60, 5, 5, 35,
     {29, 60, 1, 1, 5, 1.2},
     {219, 221, 222, 223, 224, 225, 226, 227, 228, 229},
     {230, 29, 60}, {231, 20, 65}, {220, 21, 70},
     {277, 180, 22}, {278, 180, 22}, 0,
     {0, 0, 0}, 0,
     {312, 16, 16}, 2, -10,
     {307, 176, 180}, 7, 10, 7, 10},
    {"landscape", 320, 186, 240, 90, 45, 70, 10, 10, 30,
     {36, 70, 1, 1, 6, 1.4},
     {248, 249, 250, 251, 252, 253, 254, 255, 247, 256},
     {215, 40, 110}, {279, 20, 70}, {280, 20, 70},
     {277, 180, 22}, {278, 180, 22}, 34,
     {204, 180, 22}, 38,
     {193, 16, 16}, -2, -20,
     {309, 320, 186}, 30, 6, 30, 6},
};

int face_left(const FaceLayout &f) { return (f.client_width - f.face_width) / 2; }
int face_top(const FaceLayout &f) { return f.top_offset; }
int slot_y(const FaceLayout &f) { return face_top(f) + 10; }

int slot_x(const FaceLayout &f, Slot slot) {
    int x = face_left(f) + f.left_margin;
    for (int s = HOUR_TENS; s < slot; s++)
        x += s == COLON ? COLON_SLOT_WIDTH : s == HOUR_UNITS ? f.slot_width : f.slot_width + f.digit_gap;
    return x;
}

double digits_centre(const FaceLayout &f) {
    return (slot_x(f, HOUR_TENS) + slot_x(f, MINUTE_UNITS) + f.digit.width) / 2.0;
}

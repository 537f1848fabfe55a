#include "background.h"

#include <cmath>
#include <cstdint>

#include "shapes.h"

namespace {

constexpr double PANEL_RADIUS = 6;
constexpr double RECESS = 2;  // the bevel round the panel, dark above and light below
constexpr int MIN_GRILLE_FRAME = 20;  // sides at least this wide carry a loudspeaker grille

// A fixed pseudo-random value in -1 ... 1 for a number.
double hash_noise(uint32_t n) {
    n = (n ^ 61u) ^ (n >> 16);
    n *= 9u;
    n ^= n >> 4;
    n *= 0x27d4eb2du;
    n ^= n >> 15;
    return (n & 0xFFFF) / 32767.5 - 1.0;
}

// Brushed metal: a top-lit gradient with fine horizontal grain.
Rgb brushed_metal(int x, int y, int height) {
    Rgb base = mix({232, 234, 238}, {172, 176, 184}, double(y) / (height - 1));
    double grain = 5.0 * hash_noise(uint32_t(y) * 7919u) + 2.5 * hash_noise(uint32_t(y) * 104729u + uint32_t(x / 9));
    return {base.r + grain, base.g + grain, base.b + grain};
}

void frame_edges(Image &image) {
    int w = image.width, h = image.height;
    fill(image, shape(rect(0, 0, w, 1)), solid({255, 255, 255}), 0.7);
    fill(image, shape(rect(0, 1, 1, h)), solid({255, 255, 255}), 0.5);
    fill(image, shape(rect(0, h - 1, w, h)), solid({60, 62, 68}), 0.5);
    fill(image, shape(rect(w - 1, 0, w, h - 1)), solid({60, 62, 68}), 0.4);
}

// Drilled holes of a loudspeaker in a side of the frame wide enough for them.
void speaker_grille(Image &image, double x0, double x1, double y0, double y1) {
    const double pitch = 6, hole = 1.6;
    int columns = int((x1 - x0 - 6) / pitch) + 1, rows = int((y1 - y0 - 6) / pitch) + 1;
    double left = (x0 + x1 - (columns - 1) * pitch) / 2, top = (y0 + y1 - (rows - 1) * pitch) / 2;
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            double x = left + c * pitch, y = top + r * pitch;
            fill(image, shape(circle(x + 0.5, y + 0.6, hole + 0.3)), solid({255, 255, 255}), 0.8);
            fill(image, shape(circle(x, y, hole)), solid({38, 40, 46}));
        }
}

}  // namespace

Image draw_background(const FaceLayout &face) {
    int w = face.background.width, h = face.background.height;
    Image image = make_image(w, h, {0, 0, 0});
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) set_pixel(image, x, y, brushed_metal(x, y, h));
    frame_edges(image);
    double left = face.frame_left, top = face.frame_top;
    double right = w - face.frame_right, bottom = h - face.frame_bottom;
    fill(image, shape(rounded_rect(left - RECESS, top - RECESS, right + RECESS, bottom + RECESS, PANEL_RADIUS + RECESS)),
         vertical_gradient(top - RECESS, {70, 72, 78}, bottom + RECESS, {250, 251, 253}));
    fill(image, shape(rounded_rect(left, top, right, bottom, PANEL_RADIUS)), solid({0, 0, 0}));
    if (face.frame_left >= MIN_GRILLE_FRAME) {
        speaker_grille(image, 0, left - RECESS, top + 4, bottom - 4);
        speaker_grille(image, right + RECESS, w, top + 4, bottom - 4);
    }
    return image;
}

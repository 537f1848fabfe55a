#include "app_icon.h"

#include <cmath>

#include "png_writer.h"
#include "shapes.h"

namespace {

constexpr Rgb YELLOW = {255, 255, 0};
constexpr Rgb TILE_TOP = {52, 52, 58};
constexpr Rgb TILE_BOTTOM = {0, 0, 0};

// Drawn on a 100 x 100 grid.
Pt at(double scale, double x, double y) { return {x * scale, y * scale}; }

Pt polar(double scale, Pt centre, double r, double degrees) {
    double a = degrees * M_PI / 180;
    return at(scale, centre.x + r * std::sin(a), centre.y - r * std::cos(a));  // 0 degrees is twelve o'clock
}

void draw_bell(Image &image, double s, Pt centre, double lean) {
    std::vector<Pt> dome;
    for (int i = 0; i <= 24; i++) dome.push_back(polar(s, centre, 13, lean - 90 + 180.0 * i / 24));
    fill(image, shape(dome), solid(YELLOW));
}

}  // namespace

Image app_icon(int size, Rgb backdrop) {
    Image image = make_image(size, size, backdrop);
    double s = size / 100.0;
    fill(image, shape(rounded_rect(2 * s, 2 * s, 98 * s, 98 * s, 18 * s)),
         vertical_gradient(2 * s, TILE_TOP, 98 * s, TILE_BOTTOM));
    Pt centre{50, 56};
    draw_bell(image, s, {27, 27}, -38);
    draw_bell(image, s, {73, 27}, 38);
    Pt c = at(s, centre.x, centre.y);
    fill(image, ring(c.x, c.y, 31 * s, 24 * s), solid(YELLOW));
    fill(image, line(at(s, 36, 84), at(s, 28, 92), 6 * s, Cap::Round), solid(YELLOW));
    fill(image, line(at(s, 64, 84), at(s, 72, 92), 6 * s, Cap::Round), solid(YELLOW));
    // Ten past ten, as clocks are shown.
    fill(image, line(c, polar(s, centre, 13, 305), 5 * s, Cap::Round), solid(YELLOW));
    fill(image, line(c, polar(s, centre, 18, 60), 3.6 * s, Cap::Round), solid(YELLOW));
    return image;
}

bool write_icon_png(int size, const std::string &path) {
    // Drawn over black and over white, the two renders tell each pixel's
    // coverage: where they differ the backdrop showed through.
    Image on_black = app_icon(size, {0, 0, 0}), on_white = app_icon(size, {255, 255, 255});
    std::vector<unsigned char> rgba(size_t(size) * size * 4);
    for (size_t i = 0; i < size_t(size) * size; i++) {
        int shown = 0;
        for (int k = 0; k < 3; k++) shown += on_white.rgb[i * 3 + k] - on_black.rgb[i * 3 + k];
        double alpha = 1.0 - shown / (3 * 255.0);
        for (int k = 0; k < 3; k++) {
            double colour = alpha > 0 ? on_black.rgb[i * 3 + k] / alpha : 0;
            rgba[i * 4 + k] = (unsigned char)std::lround(std::fmin(colour, 255.0));
        }
        rgba[i * 4 + 3] = (unsigned char)std::lround(alpha * 255);
    }
    return write_png(path, size, size, rgba);
}

#include "image.h"

#include <algorithm>
#include <cmath>

namespace {

unsigned char channel(double v) { return (unsigned char)std::lround(std::clamp(v, 0.0, 255.0)); }

// Half-covered pixels count as inside, with a margin for rounding, so that
// a 45-degree edge through pixel corners always lands the same way.
constexpr float CRISP_THRESHOLD = 0.5f - 1e-4f;

}  // namespace

Image make_image(int width, int height, Rgb fill) {
    Image image{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) set_pixel(image, x, y, fill);
    return image;
}

Rgb pixel(const Image &image, int x, int y) {
    const unsigned char *p = &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
    return {double(p[0]), double(p[1]), double(p[2])};
}

void set_pixel(Image &image, int x, int y, Rgb colour) {
    unsigned char *p = &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
    p[0] = channel(colour.r);
    p[1] = channel(colour.g);
    p[2] = channel(colour.b);
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Paint solid(Rgb colour) {
    return [colour](double, double) { return colour; };
}

Paint vertical_gradient(double y0, Rgb top, double y1, Rgb bottom) {
    return [=](double, double y) { return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)); };
}

void fill(Image &image, const Path &path, const Paint &paint, double opacity) {
    std::vector<float> cover = coverage(path, image.width, image.height);
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            double a = cover[size_t(y) * size_t(image.width) + size_t(x)] * opacity;
            if (a <= 0) continue;
            set_pixel(image, x, y, mix(pixel(image, x, y), paint(x + 0.5, y + 0.5), a));
        }
    }
}

void fill_crisp(Image &image, const Path &path, Rgb colour) {
    std::vector<float> cover = coverage(path, image.width, image.height);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if (cover[size_t(y) * size_t(image.width) + size_t(x)] >= CRISP_THRESHOLD) set_pixel(image, x, y, colour);
}

// An RGB image being drawn, and the ways a shape's coverage is laid onto it.
#pragma once

#include <functional>
#include <vector>

#include "path.h"

struct Rgb {
    double r, g, b;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down, 3 bytes a pixel
};

// A colour for each pixel centre: plain colours and gradients alike.
using Paint = std::function<Rgb(double x, double y)>;

Image make_image(int width, int height, Rgb fill);
Rgb pixel(const Image &image, int x, int y);
void set_pixel(Image &image, int x, int y, Rgb colour);

Paint solid(Rgb colour);
// Blends from top to bottom between the two rows y0 and y1.
Paint vertical_gradient(double y0, Rgb top, double y1, Rgb bottom);
Rgb mix(Rgb a, Rgb b, double t);

// Anti-aliased fill: each pixel is blended with the paint by its coverage.
void fill(Image &image, const Path &path, const Paint &paint, double opacity = 1.0);
// Hard-edged fill: a pixel at least half covered takes the colour exactly,
// any other keeps its own. Used where a pixel's exact colour carries meaning.
void fill_crisp(Image &image, const Path &path, Rgb colour);

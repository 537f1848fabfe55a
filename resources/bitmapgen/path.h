// Outlines to fill: one or more closed contours under the non-zero rule.
// Contours added as shapes share one orientation so overlaps unite; holes
// take the other so they cut.
#pragma once

#include <vector>

struct Pt {
    double x, y;
};

using Contour = std::vector<Pt>;

struct Path {
    std::vector<Contour> contours;
};

// Signed area; its sign tells the orientation.
double contour_area(const Contour &contour);

void add_shape(Path &path, Contour contour);
void add_hole(Path &path, Contour contour);
void add_path(Path &path, const Path &more);

// Coverage of every pixel of a width x height grid, 0 ... 1, rows top-down.
std::vector<float> coverage(const Path &path, int width, int height);

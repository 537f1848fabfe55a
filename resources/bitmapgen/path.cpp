#include "path.h"

#include <algorithm>
#include <cmath>

namespace {

// Sub-scanlines per pixel row; the horizontal coverage of each is exact.
constexpr int SUBSAMPLES = 16;

void add_oriented(Path &path, Contour contour, bool positive) {
    if ((contour_area(contour) > 0) != positive) std::reverse(contour.begin(), contour.end());
    path.contours.push_back(std::move(contour));
}

struct Crossing {
    double x;
    int direction;
};

void crossings_at(const Path &path, double y, std::vector<Crossing> &out) {
    out.clear();
    for (const Contour &c : path.contours) {
        for (size_t i = 0; i < c.size(); i++) {
            const Pt &a = c[i], &b = c[(i + 1) % c.size()];
            if (a.y == b.y) continue;
            double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
            if (y < lo || y >= hi) continue;
            double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
            out.push_back({x, b.y > a.y ? 1 : -1});
        }
    }
    std::sort(out.begin(), out.end(), [](const Crossing &l, const Crossing &r) { return l.x < r.x; });
}

// Adds the covered length of [x0, x1) to each pixel of one row.
void add_span(float *row, int width, double x0, double x1, double weight) {
    x0 = std::max(x0, 0.0);
    x1 = std::min(x1, double(width));
    for (int px = int(std::floor(x0)); px < width && px < x1; px++) {
        double overlap = std::min(x1, px + 1.0) - std::max(x0, double(px));
        if (overlap > 0) row[px] += float(overlap * weight);
    }
}

}  // namespace

double contour_area(const Contour &c) {
    double a = 0;
    for (size_t i = 0; i < c.size(); i++) {
        const Pt &p = c[i], &q = c[(i + 1) % c.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

void add_shape(Path &path, Contour contour) { add_oriented(path, std::move(contour), true); }
void add_hole(Path &path, Contour contour) { add_oriented(path, std::move(contour), false); }

void add_path(Path &path, const Path &more) {
    path.contours.insert(path.contours.end(), more.contours.begin(), more.contours.end());
}

std::vector<float> coverage(const Path &path, int width, int height) {
    std::vector<float> cover(size_t(width) * size_t(height), 0.0f);
    std::vector<Crossing> xs;
    for (int y = 0; y < height; y++) {
        float *row = &cover[size_t(y) * size_t(width)];
        for (int s = 0; s < SUBSAMPLES; s++) {
            crossings_at(path, y + (s + 0.5) / SUBSAMPLES, xs);
            int winding = 0;
            for (size_t i = 0; i + 1 < xs.size(); i++) {
                winding += xs[i].direction;
                if (winding != 0) add_span(row, width, xs[i].x, xs[i + 1].x, 1.0 / SUBSAMPLES);
            }
        }
        for (int x = 0; x < width; x++) row[x] = std::min(row[x], 1.0f);
    }
    return cover;
}

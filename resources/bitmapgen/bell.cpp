#include "bell.h"

#include <cmath>

#include "shapes.h"

namespace {

// The bell's outline on a 16-pixel grid: a round dome over sides that flare
// out to the lip.
Contour bell_body(double k) {
    const double dome_centre = 6.2, dome_radius = 4.2, lip = 11.8, lip_half = 6.3;
    Contour right;
    for (int i = 0; i <= 12; i++) {  // over the dome from the top
        double a = M_PI / 2 * i / 12;
        right.push_back({8 + dome_radius * std::sin(a), dome_centre - dome_radius * std::cos(a)});
    }
    for (int i = 1; i <= 12; i++) {  // down the flaring side
        double t = double(i) / 12;
        right.push_back({8 + dome_radius + (lip_half - dome_radius) * std::pow(t, 2.2), dome_centre + (lip - dome_centre) * t});
    }
    Contour c;
    for (Pt p : right) c.push_back({p.x * k, p.y * k});
    for (auto p = right.rbegin(); p != right.rend(); ++p) c.push_back({(16 - p->x) * k, p->y * k});
    return c;
}

}  // namespace

Image silenced_bell(int size) {
    const double k = size / 16.0;
    Image image = make_image(size, size, {0, 0, 0});
    Paint metal = vertical_gradient(2 * k, {250, 250, 250}, 12 * k, {175, 177, 182});
    fill(image, shape(circle(8 * k, 1.6 * k, 1.2 * k)), metal);
    fill(image, shape(bell_body(k)), metal);
    fill(image, shape(rounded_rect(1.2 * k, 11.0 * k, 14.8 * k, 12.6 * k, 0.8 * k)), solid({215, 216, 220}));
    fill(image, shape(circle(8 * k, 14.0 * k, 1.6 * k)), solid({200, 201, 206}));
    // The bar across, cut free of the bell by a band of black.
    Pt a{2 * k, 2 * k}, b{14 * k, 14 * k};
    fill(image, line(a, b, 3.4 * k, Cap::Round), solid({0, 0, 0}));
    fill(image, line(a, b, 1.5 * k, Cap::Round), solid({255, 255, 255}));
    return image;
}

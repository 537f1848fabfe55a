#include "alarm_clock.h"

#include <algorithm>
#include <cmath>

#include "dialog_images.h"
#include "shapes.h"

namespace {

// The drawing is laid out on a 100 x 100 grid, scaled and centred.
struct Grid {
    double scale, left, top;
    Pt at(Pt p) const { return {left + p.x * scale, top + p.y * scale}; }
    double len(double d) const { return d * scale; }
    double y(double grid_y) const { return top + grid_y * scale; }
    Contour contour(const std::vector<Pt> &pts) const {
        Contour c;
        for (Pt p : pts) c.push_back(at(p));
        return c;
    }
    Path disc(Pt centre, double r) const { return shape(circle(at(centre).x, at(centre).y, len(r))); }
    Path bar(Pt a, Pt b, double width, Cap cap) const { return line(at(a), at(b), len(width), cap); }
};

Pt polar(Pt centre, double r, double degrees) {
    double a = degrees * M_PI / 180;
    return {centre.x + r * std::sin(a), centre.y - r * std::cos(a)};  // 0 degrees is twelve o'clock
}

// A bell dome leaning away from the middle by the given angle.
void draw_bell(Image &image, const Grid &g, Pt centre, double lean) {
    std::vector<Pt> dome;
    for (int i = 0; i <= 24; i++) dome.push_back(polar(centre, 13, lean - 90 + 180.0 * i / 24));
    fill(image, shape(g.contour(dome)), vertical_gradient(g.y(8), {250, 250, 252}, g.y(30), {150, 154, 162}));
    fill(image, g.disc(polar(centre, 14.5, lean), 2.4), solid({120, 124, 132}));
    fill(image, g.bar(polar(centre, 13.5, lean - 90), polar(centre, 13.5, lean + 90), 2.2, Cap::Round),
         solid({110, 114, 122}));
}

// Short arcs beside a bell: the sound of it.
void draw_ringing(Image &image, const Grid &g, Pt centre, double toward) {
    for (double r : {18.0, 23.0}) {
        std::vector<Pt> pts;
        for (int i = 0; i <= 10; i++) pts.push_back(polar(centre, r, toward - 22 + 44.0 * i / 10));
        fill(image, stroke(g.contour(pts), g.len(2.0), Cap::Round), solid({230, 120, 40}));
    }
}

void draw_dial(Image &image, const Grid &g, Pt c) {
    Pt centre = g.at(c);
    fill(image, g.disc(c, 34), vertical_gradient(g.y(20), {235, 60, 50}, g.y(90), {140, 20, 20}));
    // The chrome ring reaches under the dial so no red shows between them.
    fill(image, ring(centre.x, centre.y, g.len(31), g.len(28)),
         vertical_gradient(g.y(24), {160, 164, 172}, g.y(86), {250, 250, 252}));
    fill(image, g.disc(c, 28.5), vertical_gradient(g.y(27), {255, 255, 255}, g.y(84), {232, 234, 238}));
    std::vector<Pt> gloss;  // on the rim, upper left
    for (int i = 0; i <= 16; i++) gloss.push_back(polar(c, 32.5, 290 + 60.0 * i / 16));
    fill(image, stroke(g.contour(gloss), g.len(1.6), Cap::Round), solid({255, 200, 195}), 0.8);
    for (int h = 0; h < 12; h++) {
        bool major = h % 3 == 0;
        fill(image, g.bar(polar(c, 26, h * 30.0), polar(c, major ? 20.5 : 23, h * 30.0), major ? 2.6 : 1.4, Cap::Butt),
             solid({40, 42, 48}));
    }
}

void draw_hands(Image &image, const Grid &g, Pt c) {
    auto hand = [&](double degrees, double length, double width, Rgb colour) {
        fill(image, g.bar(polar(c, -length * 0.18, degrees), polar(c, length, degrees), width, Cap::Round), solid(colour));
    };
    hand(305, 14, 3.6, {30, 32, 38});   // ten past ten
    hand(60, 21, 2.6, {30, 32, 38});
    hand(200, 23, 1.1, {220, 40, 30});  // the alarm hand
    fill(image, g.disc(c, 2.6), solid({30, 32, 38}));
    fill(image, g.disc(c, 1.1), solid({220, 40, 30}));
}

}  // namespace

Image alarm_clock_picture(int width, int height) {
    Image image = make_image(width, height, DIALOG_WHITE);
    double scale = std::min(width, height) / 100.0;
    Grid g{scale, (width - 100 * scale) / 2, (height - 100 * scale) / 2};
    Pt centre{50, 57};
    Pt shadow = g.at({50, 96});
    fill(image, shape(ellipse(shadow.x, shadow.y, g.len(32), g.len(2.6))), solid({0, 0, 0}), 0.18);
    fill(image, g.bar({34, 84}, {25, 95}, 5, Cap::Round), solid({70, 72, 78}));
    fill(image, g.bar({66, 84}, {75, 95}, 5, Cap::Round), solid({70, 72, 78}));
    Pt left{27, 25}, right{73, 25};
    draw_ringing(image, g, left, 300);
    draw_ringing(image, g, right, 60);
    fill(image, g.bar({50, 24}, {50, 13}, 2.4, Cap::Butt), solid({110, 114, 122}));  // the hammer
    fill(image, g.disc({50, 11}, 3), solid({120, 124, 132}));
    draw_bell(image, g, left, -35);
    draw_bell(image, g, right, 35);
    draw_dial(image, g, centre);
    draw_hands(image, g, centre);
    return image;
}

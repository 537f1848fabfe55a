#include "shapes.h"

#include <cmath>

namespace {

// Mitres longer than this many half-widths are bevelled.
constexpr double MITRE_LIMIT = 2.0;

Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }

Pt unit(Pt v) {
    double n = std::hypot(v.x, v.y);
    return {v.x / n, v.y / n};
}

Pt normal(Pt a, Pt b) {
    Pt d = unit(b - a);
    return {-d.y, d.x};
}

// The left and right outlines of a stroke, in the order of its points.
struct Sides {
    Contour left, right;
};

void add_join(Sides &s, Pt p, Pt before, Pt after, double hw) {
    Pt n0 = normal(before, p), n1 = normal(p, after);
    Pt m = unit(n0 + n1);
    double len = hw / dot(m, n1);
    if (len <= MITRE_LIMIT * hw) {
        s.left.push_back(p + m * len);
        s.right.push_back(p - m * len);
        return;
    }
    Pt d0 = unit(p - before), d1 = unit(after - p);
    bool left_inside = d0.x * d1.y - d0.y * d1.x > 0;
    Contour &inner = left_inside ? s.left : s.right;
    Contour &outer = left_inside ? s.right : s.left;
    double sign = left_inside ? -1 : 1;
    inner.push_back(p - m * (len * sign));
    outer.push_back(p + n0 * (hw * sign));
    outer.push_back(p + n1 * (hw * sign));
}

Sides sides_of(const std::vector<Pt> &pts, double hw, Cap cap, bool closed) {
    Sides s;
    size_t n = pts.size();
    for (size_t i = 0; i < n; i++) {
        bool first = i == 0, last = i + 1 == n;
        if (closed || (!first && !last)) {
            add_join(s, pts[i], pts[(i + n - 1) % n], pts[(i + 1) % n], hw);
            continue;
        }
        Pt nrm = first ? normal(pts[0], pts[1]) : normal(pts[n - 2], pts[n - 1]);
        Pt along = first ? unit(pts[0] - pts[1]) : unit(pts[n - 1] - pts[n - 2]);
        Pt end = cap == Cap::Square ? pts[i] + along * hw : pts[i];
        s.left.push_back(end + nrm * hw);
        s.right.push_back(end - nrm * hw);
    }
    return s;
}

}  // namespace

Contour rect(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

std::vector<Pt> arc(double cx, double cy, double r, double a0, double a1, int steps) {
    std::vector<Pt> pts;
    for (int i = 0; i <= steps; i++) {
        double a = a0 + (a1 - a0) * i / steps;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return pts;
}

Contour rounded_rect(double x0, double y0, double x1, double y1, double radius) {
    if (radius <= 0) return rect(x0, y0, x1, y1);
    // Corner centres clockwise from the top right, each arc a quarter turn on.
    const Pt centres[4] = {{x1 - radius, y0 + radius}, {x1 - radius, y1 - radius},
                           {x0 + radius, y1 - radius}, {x0 + radius, y0 + radius}};
    Contour c;
    for (int i = 0; i < 4; i++) {
        double start = M_PI / 2 * (i - 1);
        for (Pt p : arc(centres[i].x, centres[i].y, radius, start, start + M_PI / 2, 8)) c.push_back(p);
    }
    return c;
}

Contour ellipse(double cx, double cy, double rx, double ry) {
    int steps = std::max(24, int(std::max(rx, ry) * 4));
    Contour c;
    for (int i = 0; i < steps; i++) {
        double a = 2 * M_PI * i / steps;
        c.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return c;
}

Contour circle(double cx, double cy, double r) { return ellipse(cx, cy, r, r); }

Path shape(Contour contour) {
    Path p;
    add_shape(p, std::move(contour));
    return p;
}

Path ring(double cx, double cy, double outer, double inner) {
    Path p = shape(circle(cx, cy, outer));
    add_hole(p, circle(cx, cy, inner));
    return p;
}

Path stroke(const std::vector<Pt> &points, double width, Cap cap, bool closed) {
    Sides s = sides_of(points, width / 2, cap, closed);
    Path p;
    if (closed) {
        // Whichever side runs inside is the hole.
        bool left_outer = std::fabs(contour_area(s.left)) > std::fabs(contour_area(s.right));
        add_shape(p, left_outer ? s.left : s.right);
        add_hole(p, left_outer ? s.right : s.left);
        return p;
    }
    Contour outline = s.left;
    outline.insert(outline.end(), s.right.rbegin(), s.right.rend());
    add_shape(p, outline);
    if (cap == Cap::Round) {
        add_shape(p, circle(points.front().x, points.front().y, width / 2));
        add_shape(p, circle(points.back().x, points.back().y, width / 2));
    }
    return p;
}

Path line(Pt a, Pt b, double width, Cap cap) { return stroke({a, b}, width, cap); }

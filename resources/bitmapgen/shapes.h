// Outlines of the simple shapes the pictures are made of.
#pragma once

#include "path.h"

enum class Cap { Butt, Square, Round };

Contour rect(double x0, double y0, double x1, double y1);
Contour rounded_rect(double x0, double y0, double x1, double y1, double radius);
Contour ellipse(double cx, double cy, double rx, double ry);
Contour circle(double cx, double cy, double r);
// Points along a circle from angle a0 to a1 (radians, clockwise on screen
// from three o'clock, since y grows downwards).
std::vector<Pt> arc(double cx, double cy, double r, double a0, double a1, int steps);

Path shape(Contour contour);
Path ring(double cx, double cy, double outer, double inner);
// A line of the given width along the points, mitred at the corners
// (bevelled where a mitre would stick out too far).
Path stroke(const std::vector<Pt> &points, double width, Cap cap, bool closed = false);
Path line(Pt a, Pt b, double width, Cap cap);

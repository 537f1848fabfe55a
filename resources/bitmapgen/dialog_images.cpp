#include "dialog_images.h"

#include "shapes.h"

namespace {

const Rgb INK = {52, 60, 78};

Path translated(Path p, double dx) {
    for (Contour &c : p.contours)
        for (Pt &q : c) q.x += dx;
    return p;
}

// Two beamed quavers, stems on whole pixels at scale 1.
Path quavers(double x, double y, double k) {
    Path p;
    add_shape(p, ellipse(x + 5 * k, y + 12.4 * k, 2.7 * k, 2.0 * k));
    add_shape(p, ellipse(x + 12 * k, y + 10.9 * k, 2.7 * k, 2.0 * k));
    add_shape(p, rect(x + 6.5 * k, y + 3 * k, x + 8 * k, y + 12.4 * k));
    add_shape(p, rect(x + 13.5 * k, y + 1.5 * k, x + 15 * k, y + 10.9 * k));
    add_path(p, line({x + 6.5 * k, y + 3.8 * k}, {x + 15 * k, y + 2.3 * k}, 2.6 * k, Cap::Butt));
    return p;
}

void storage_card(Image &image, double x) {
    Contour card = {{x + 3, 1}, {x + 10, 1}, {x + 13.5, 4.5}, {x + 13.5, 15}, {x + 2.5, 15}, {x + 2.5, 1.5}};
    fill(image, shape(card), vertical_gradient(1, {96, 104, 120}, 15, {48, 54, 66}));
    for (int i = 0; i < 4; i++) fill(image, shape(rect(x + 4 + 1.6 * i, 2, x + 5 + 1.6 * i, 4.4)), solid({230, 190, 70}));
    fill(image, translated(quavers(0, 5.2, 0.62), x + 3.2), solid({255, 255, 255}));
}

// A folder's back with its tab, and its front: flat when closed, tipped
// open over a sheet of paper when open.
Path folder_back(double x) {
    Path p = shape(rounded_rect(x + 1, 1, x + 7, 5, 1));
    add_shape(p, rounded_rect(x + 1, 3, x + 15, 14, 1));
    return p;
}

Contour open_front(double x) { return {{x + 4, 7}, {x + 16, 7}, {x + 13.4, 14}, {x + 1, 14}}; }

void draw_folder(Image &image, double x, bool open) {
    const Rgb edge = {168, 118, 24};
    Path back = folder_back(x);
    fill(image, back, solid(edge));
    Path inside = shape(rect(x + 2, 2, x + 6, 5));
    add_shape(inside, rect(x + 2, 4, x + 14, 13));
    fill(image, inside, vertical_gradient(2, {252, 222, 130}, 13, {228, 172, 56}));
    if (!open) return;
    fill(image, shape(rect(x + 3, 5, x + 13, 10)), solid({255, 255, 255}));
    fill(image, shape(open_front(x)), solid(edge));
    Contour face = {{x + 4.7, 8}, {x + 14.6, 8}, {x + 12.6, 13}, {x + 2.3, 13}};
    fill(image, shape(face), vertical_gradient(8, {255, 236, 160}, 14, {240, 196, 84}));
}

// Outside the folders' outline the key colour, so the tree's own background
// shows; the soft edges inside stay blended with white, the tree's colour.
void key_outside(Image &image, const Path &outline) {
    std::vector<float> cover = coverage(outline, image.width, image.height);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if (cover[size_t(y) * size_t(image.width) + size_t(x)] < 0.02f) set_pixel(image, x, y, FOLDER_KEY_GREEN);
}

}  // namespace

Image spinner_separator(int size) {
    Image image = make_image(size, size, DIALOG_WHITE);
    double c = size / 2.0, r = size / 9.0;
    fill(image, shape(circle(c, c - size / 4.5, r)), solid(INK));
    fill(image, shape(circle(c, c + size / 4.5, r)), solid(INK));
    return image;
}

Image spinner_marker(int size, bool up) {
    Image image = make_image(size, size, DIALOG_WHITE);
    double tip = up ? 1.5 : size - 1.5, base = up ? size - 2.0 : 2.0;
    fill(image, shape({{size / 2.0, tip}, {size - 0.5, base}, {0.5, base}}), solid(INK));
    return image;
}

Image sound_file_icons() {
    Image image = make_image(32, 16, DIALOG_WHITE);
    fill(image, quavers(0, 0, 1), solid({40, 86, 176}));
    storage_card(image, 16);
    return image;
}

Image folder_icons() {
    Image image = make_image(32, 15, DIALOG_WHITE);
    draw_folder(image, 0, true);
    draw_folder(image, 16, false);
    Path outline = folder_back(0);
    add_shape(outline, open_front(0));
    add_path(outline, folder_back(16));
    key_outside(image, outline);
    return image;
}

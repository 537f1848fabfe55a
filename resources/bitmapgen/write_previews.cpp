#include <cstdio>

#include "face_layouts.h"
#include "outputs.h"
#include "tint_key.h"

namespace {

// One face as the clock would show it: which values, in which colour.
struct FaceShot {
    const char *name;
    Rgb colour;
    int digits[4];  // hour tens (-1 for the blank), hour units, minute tens, minute units
    int indicator;  // 0 AM, 1 PM, 2 COUNTDOWN banner
    bool bell;
};

const FaceShot SHOTS[] = {
    {"yellow_1234_pm_bell", {255, 255, 0}, {1, 2, 3, 4}, 1, true},
    {"white_countdown_0105", {255, 255, 255}, {0, 1, 0, 5}, 2, false},
    {"red_941_am", {255, 0, 0}, {-1, 9, 4, 1}, 0, false},
    {"blue_0838_am_bell", {0, 128, 255}, {-1, 8, 3, 8}, 0, true},
};

Image tinted(const Image &source, Rgb colour) {
    Image image = source;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            Rgb p = pixel(image, x, y);
            if (p.r == TINT_KEY.r && p.g == TINT_KEY.g && p.b == TINT_KEY.b) set_pixel(image, x, y, colour);
        }
    return image;
}

// The clock's way of drawing into a place: restore the background under the
// whole place, then lay the image's non-black pixels over it, cut to the place.
void draw_at(Image &screen, const Image &background, const Image *image, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h && y < screen.height; y++)
        for (int x = x0; x < x0 + w && x < screen.width; x++) {
            if (x < 0 || y < 0) continue;
            set_pixel(screen, x, y, pixel(background, x, y));
            if (!image || x - x0 >= image->width || y - y0 >= image->height) continue;
            Rgb p = pixel(*image, x - x0, y - y0);
            if (p.r != 0 || p.g != 0 || p.b != 0) set_pixel(screen, x, y, p);
        }
}

Image compose(const std::vector<CatalogueEntry> &cat, const FaceLayout &f, const FaceShot &shot) {
    auto img = [&](int id) { return find_entry(cat, id) ? &find_entry(cat, id)->image : nullptr; };
    auto tint = [&](int id) { return tinted(*img(id), shot.colour); };
    const Image &background = *img(f.background.id);
    Image screen = background;
    int left = face_left(f), top = face_top(f);
    if (shot.bell) draw_at(screen, background, img(f.bell.id), left + f.bell_dx, top + f.bell_dy, 16, 16);
    Image colon = tint(f.colon_shown.id);
    draw_at(screen, background, &colon, slot_x(f, COLON), slot_y(f), COLON_SLOT_WIDTH, f.slot_height);
    if (shot.indicator < 2) {
        Image strip = tint(shot.indicator ? f.pm.id : f.am.id);
        draw_at(screen, background, &strip, left + f.strip_dx, top - INDICATOR_RISE, f.am.width, 22);
    } else if (f.banner.id) {
        Image banner = tint(f.banner.id);
        draw_at(screen, background, &banner, left + f.banner_dx, top - INDICATOR_RISE, f.banner.width, 23);
    }
    const Slot slots[4] = {HOUR_TENS, HOUR_UNITS, MINUTE_TENS, MINUTE_UNITS};
    for (int i = 0; i < 4; i++) {
        int d = shot.digits[i];
        Image digit = tint(d < 0 ? f.blank.id : f.digit_ids[d]);
        draw_at(screen, background, &digit, slot_x(f, slots[i]), slot_y(f), f.slot_width, f.slot_height);
    }
    return screen;
}

}  // namespace

bool write_ppm(const Image &image, const std::string &path) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    std::fwrite(image.rgb.data(), 1, image.rgb.size(), f);
    return std::fclose(f) == 0;
}

bool write_previews(const std::vector<CatalogueEntry> &catalogue, const std::string &folder) {
    for (const CatalogueEntry &e : catalogue)
        if (!write_ppm(e.image, folder + "/" + std::to_string(e.id) + "_" + e.name + ".ppm")) return false;
    for (const FaceLayout &f : FACE_LAYOUTS)
        for (const FaceShot &shot : SHOTS)
            if (!write_ppm(compose(catalogue, f, shot), folder + "/face_" + f.name + "_" + shot.name + ".ppm"))
                return false;
    return true;
}

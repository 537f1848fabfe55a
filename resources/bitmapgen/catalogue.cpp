#include "catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "alarm_clock.h"
#include "background.h"
#include "bell.h"
#include "dialog_images.h"
#include "face_layouts.h"
#include "indicators.h"
#include "seven_segment.h"
#include "tint_key.h"

namespace {

constexpr int ALARM_PICTURE_SMALL = 324;
constexpr int ALARM_PICTURE_LARGE = 325;
constexpr int SPINNER_SEPARATOR = 131;
constexpr int SPINNER_UP = 134;
constexpr int SPINNER_DOWN = 135;
constexpr int SOUND_FILE_ICONS = 323;
constexpr int FOLDER_ICONS = 180;

// Layouts share some images (the landscape face borrows the large blank and
// the small AM/PM strips); the first drawing of an id is the one kept, and a
// second use must agree on its size.
void add(std::vector<CatalogueEntry> &cat, ImageSpec want, const std::string &name,
         const std::function<Image()> &draw, int bpp = 24) {
    if (want.id == 0) return;
    if (const CatalogueEntry *e = find_entry(cat, want.id)) {
        if (e->image.width != want.width || e->image.height != want.height) {
            std::fprintf(stderr, "velbitmapgen: bitmap %d used at two sizes\n", want.id);
            std::exit(1);
        }
        return;
    }
    Image image = draw();
    if (image.width != want.width || image.height != want.height) {
        std::fprintf(stderr, "velbitmapgen: bitmap %d drawn at %dx%d, wanted %dx%d\n", want.id, image.width,
                     image.height, want.width, want.height);
        std::exit(1);
    }
    cat.push_back({want.id, bpp, name, std::move(image)});
}

// Midway between the ink of the hour units and of the minute tens, in the
// colon image's own columns.
double colon_centre(const FaceLayout &f) {
    double units_right = slot_x(f, HOUR_UNITS) + f.digit.width - f.digit.margin_x;
    double tens_left = slot_x(f, MINUTE_TENS) + f.digit.margin_x;
    return (units_right + tens_left) / 2 - slot_x(f, COLON);
}

Image all_black(ImageSpec want) { return make_image(want.width, want.height, KEY_BLACK); }

void add_face(std::vector<CatalogueEntry> &cat, const FaceLayout &f) {
    std::string name = f.name;
    for (int d = 0; d < 10; d++)
        add(cat, {f.digit_ids[d], f.digit.width, f.digit.height}, name + "_digit_" + std::to_string(d),
            [&] { return seven_segment_digit(f.digit, d); });
    add(cat, f.blank, name + "_blank", [&] { return all_black(f.blank); });
    add(cat, f.colon_shown, name + "_colon", [&] {
        return colon_dots(f.digit, f.colon_shown.width, f.colon_shown.height, colon_centre(f));
    });
    add(cat, f.colon_hidden, name + "_colon_hidden", [&] { return all_black(f.colon_hidden); });
    double words = digits_centre(f) - (face_left(f) + f.strip_dx);
    add(cat, f.am, name + "_am", [&] { return am_pm_strip(f.am.width, f.am.height, words, false); });
    add(cat, f.pm, name + "_pm", [&] { return am_pm_strip(f.pm.width, f.pm.height, words, true); });
    double banner = digits_centre(f) - (face_left(f) + f.banner_dx);
    add(cat, f.banner, name + "_countdown", [&] { return countdown_banner(f.banner.width, f.banner.height, banner); });
    add(cat, f.bell, name + "_bell", [&] { return silenced_bell(f.bell.width); });
    add(cat, f.background, name + "_background", [&] { return draw_background(f); });
}

}  // namespace

std::vector<CatalogueEntry> build_catalogue() {
    std::vector<CatalogueEntry> cat;
    for (const FaceLayout &f : FACE_LAYOUTS) add_face(cat, f);
    // The ringing dialogs' pictures: the small screens' one was a 256-colour image.
    add(cat, {ALARM_PICTURE_SMALL, 125, 134}, "alarm_clock_small", [] { return alarm_clock_picture(125, 134); }, 8);
    add(cat, {ALARM_PICTURE_LARGE, 180, 180}, "alarm_clock_large", [] { return alarm_clock_picture(180, 180); });
    add(cat, {SPINNER_SEPARATOR, 17, 17}, "spinner_separator", [] { return spinner_separator(17); });
    add(cat, {SPINNER_UP, 9, 9}, "spinner_up", [] { return spinner_marker(9, true); });
    add(cat, {SPINNER_DOWN, 9, 9}, "spinner_down", [] { return spinner_marker(9, false); });
    add(cat, {SOUND_FILE_ICONS, 32, 16}, "sound_file_icons", sound_file_icons);
    add(cat, {FOLDER_ICONS, 32, 15}, "folder_icons", folder_icons);
    return cat;
}

const CatalogueEntry *find_entry(const std::vector<CatalogueEntry> &catalogue, int id) {
    for (const CatalogueEntry &e : catalogue)
        if (e.id == id) return &e;
    return nullptr;
}

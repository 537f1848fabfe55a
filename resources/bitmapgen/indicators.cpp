#include "indicators.h"

#include <algorithm>
#include <cmath>

#include "glyphs.h"
#include "shapes.h"
#include "tint_key.h"

namespace {

constexpr int LETTER_SPACING = 3;
constexpr int BOX_PADDING_X = 5;  // between a box's edge and its letters
constexpr int BOX_PADDING_Y = 3;
constexpr int BOX_GAP = 6;      // between the AM and PM boxes
constexpr double BOX_CORNER = 2;

// A box with its corners cut at 45 degrees, which needs no blending.
Contour chamfered_box(double x0, double y0, double x1, double y1, double c) {
    return {{x0 + c, y0}, {x1 - c, y0}, {x1, y0 + c}, {x1, y1 - c},
            {x1 - c, y1}, {x0 + c, y1}, {x0, y1 - c}, {x0, y0 + c}};
}

// One word: in a filled box with black letters when lit, else yellow letters.
void draw_word(Image &image, int box_left, int box_width, const char *word, bool lit) {
    int letters_top = (image.height - LETTER_HEIGHT) / 2;
    int box_top = letters_top - BOX_PADDING_Y;
    int box_bottom = letters_top + LETTER_HEIGHT + BOX_PADDING_Y;
    int letters_left = box_left + (box_width - text_width(word, LETTER_SPACING)) / 2;
    if (lit) fill_crisp(image, shape(chamfered_box(box_left, box_top, box_left + box_width, box_bottom, BOX_CORNER)), TINT_KEY);
    draw_text(image, letters_left, letters_top, word, LETTER_SPACING, lit ? KEY_BLACK : TINT_KEY);
}

}  // namespace

Image am_pm_strip(int width, int height, double centre, bool pm) {
    Image image = make_image(width, height, KEY_BLACK);
    int box = std::max(text_width("AM", LETTER_SPACING), text_width("PM", LETTER_SPACING)) + 2 * BOX_PADDING_X;
    int left = int(std::lround(centre - (2 * box + BOX_GAP) / 2.0));
    draw_word(image, left, box, "AM", !pm);
    draw_word(image, left + box + BOX_GAP, box, "PM", pm);
    return image;
}

Image countdown_banner(int width, int height, double centre) {
    Image image = make_image(width, height, KEY_BLACK);
    const char *word = "COUNTDOWN";
    int left = int(std::lround(centre - text_width(word, LETTER_SPACING) / 2.0));
    draw_text(image, left, (height - LETTER_HEIGHT) / 2, word, LETTER_SPACING, TINT_KEY);
    return image;
}

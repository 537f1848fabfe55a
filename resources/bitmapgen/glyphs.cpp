#include "glyphs.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shapes.h"

namespace {

constexpr double STROKE = 2;

struct Stroke {
    std::vector<Pt> points;  // centre line, in pixels from the letter's top-left
    bool closed;
};

struct Glyph {
    char letter;
    int width;  // of the ink
    std::vector<Stroke> strokes;
};

// Only the letters the strips spell.
const std::vector<Glyph> &glyphs() {
    static const std::vector<Glyph> table = {
        {'A', 10, {{{{1, 11}, {1, 4}, {4, 1}, {6, 1}, {9, 4}, {9, 11}}, false}, {{{1, 7}, {9, 7}}, false}}},
        {'C', 10, {{{{9, 1}, {4, 1}, {1, 4}, {1, 8}, {4, 11}, {9, 11}}, false}}},
        {'D', 10, {{{{1, 1}, {6, 1}, {9, 4}, {9, 8}, {6, 11}, {1, 11}}, true}}},
        {'M', 12, {{{{1, 11}, {1, 1}, {6, 6}, {11, 1}, {11, 11}}, false}}},
        {'N', 12, {{{{1, 11}, {1, 1}, {11, 11}, {11, 1}}, false}}},
        {'O', 10, {{{{4, 1}, {6, 1}, {9, 4}, {9, 8}, {6, 11}, {4, 11}, {1, 8}, {1, 4}}, true}}},
        {'P', 10, {{{{1, 11}, {1, 1}, {6, 1}, {9, 4}, {9, 5}, {6, 8}, {1, 8}}, false}}},
        {'T', 10, {{{{1, 1}, {9, 1}}, false}, {{{5, 1}, {5, 11}}, false}}},
        {'U', 10, {{{{1, 1}, {1, 8}, {4, 11}, {6, 11}, {9, 8}, {9, 1}}, false}}},
        {'W', 12, {{{{1, 1}, {1, 11}, {6, 6}, {11, 11}, {11, 1}}, false}}},
    };
    return table;
}

const Glyph &glyph(char c) {
    for (const Glyph &g : glyphs())
        if (g.letter == c) return g;
    std::fprintf(stderr, "velbitmapgen: no letter '%c'\n", c);
    std::exit(1);
}

}  // namespace

int text_width(const char *text, int spacing) {
    int w = 0;
    for (const char *p = text; *p; p++) w += glyph(*p).width + (p[1] ? spacing : 0);
    return w;
}

void draw_text(Image &image, int x, int top, const char *text, int spacing, Rgb colour) {
    Path ink;
    for (const char *p = text; *p; p++) {
        const Glyph &g = glyph(*p);
        for (const Stroke &s : g.strokes) {
            std::vector<Pt> pts;
            for (Pt q : s.points) pts.push_back({q.x + x, q.y + top});
            add_path(ink, stroke(pts, STROKE, Cap::Square, s.closed));
        }
        x += g.width + spacing;
    }
    fill_crisp(image, ink, colour);
}

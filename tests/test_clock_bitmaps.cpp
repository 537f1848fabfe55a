// The clock's bitmaps: present at the sizes the face is laid out for, digits
// that read as their figures, images the clock recolours holding nothing but
// the recolour key and the transparent black, and a background whose black
// panel lies under everything the face and its status lines draw.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/core/resources.h"
#include "resources/clock_bitmaps.h"
#include "tests/support/bitmap_runs.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

const Rgb YELLOW = {255, 255, 0};
const Rgb BLACK = {0, 0, 0};

// A compiled-in bitmap with its pixels unpacked; `exact` when its runs held
// exactly width x height pixels.
struct Unpacked {
    int width, height, bits_per_pixel;
    std::vector<unsigned char> rgb;
    bool exact;
};

const Unpacked *bitmap(int id) {
    static bool registered = false;
    static std::map<int, Unpacked> unpacked;
    if (!registered) register_clock_bitmaps();
    registered = true;
    auto known = unpacked.find(id);
    if (known != unpacked.end()) return &known->second;
    const BitmapResource *res = resources_find_bitmap(id);
    if (!res) return nullptr;
    Unpacked &u = unpacked[id];
    u = {res->width, res->height, res->bits_per_pixel, {}, false};
    u.rgb = bitmap_pixels(res);
    u.exact = u.rgb.size() == size_t(u.width) * size_t(u.height) * 3;
    u.rgb.resize(size_t(u.width) * size_t(u.height) * 3);
    return &u;
}

Rgb at(const Unpacked *b, int x, int y) {
    const unsigned char *p = b->rgb.data() + (size_t(y) * size_t(b->width) + size_t(x)) * 3;
    return {p[0], p[1], p[2]};
}

int count(const Unpacked *b, Rgb colour, int x0 = 0, int x1 = -1) {
    int n = 0;
    for (int y = 0; y < b->height; y++)
        for (int x = x0; x < (x1 < 0 ? b->width : x1); x++) n += at(b, x, y) == colour;
    return n;
}

struct Face {
    const char *name;
    int client_w, client_h, face_w, face_h, slot_w, slot_h, gap, margin, top;
    int digits[10];
    int digit_w;  // the landscape digits are narrower than their slots
    int blank, colon, hidden;
    int am, pm, strip_dx, strip_w;
    int banner, banner_dx, banner_w;
    int bell, bell_dx, bell_dy;
    int background;
};

// The face geometry the clock lays out, per screen.
const Face FACES[] = {
    {"small", 176, 180, 156, 75, 29, 60, 5, 5, 35, {219, 221, 222, 223, 224, 225, 226, 227, 228, 229}, 29,
     230, 231, 220, 277, 278, 0, 180, 0, 0, 0, 312, 2, -10, 307},
    {"large", 240, 266, 220, 140, 40, 110, 10, 10, 45, {205, 206, 207, 208, 209, 210, 211, 212, 213, 214}, 40,
     215, 217, 216, 116, 117, 21, 200, 200, 20, 200, 193, 2, -20, 308},
    {"landscape", 320, 186, 240, 90, 45, 70, 10, 10, 30, {248, 249, 250, 251, 252, 253, 254, 255, 247, 256}, 36,
     215, 279, 280, 277, 278, 34, 180, 204, 38, 180, 193, -2, -20, 309},
};

int face_left(const Face &f) { return (f.client_w - f.face_w) / 2; }

// Reads a seven-segment figure back: each segment is looked for along a
// short line across where it must be, so the drawing style does not matter.
int read_digit(const Unpacked *b) {
    int w = b->width, h = b->height;
    auto lit_column = [&](int x, int y0, int y1) {
        for (int y = y0; y < y1; y++)
            if (at(b, x, y) == YELLOW) return true;
        return false;
    };
    auto lit_row = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; x++)
            if (at(b, x, y) == YELLOW) return true;
        return false;
    };
    bool seg[7] = {
        lit_column(w / 2, 0, h / 6),                 // a: top
        lit_row(h / 4, 3 * w / 4, w),                // b: upper right
        lit_row(3 * h / 4, 3 * w / 4, w),            // c: lower right
        lit_column(w / 2, 5 * h / 6, h),             // d: bottom
        lit_row(3 * h / 4, 0, w / 4),                // e: lower left
        lit_row(h / 4, 0, w / 4),                    // f: upper left
        lit_column(w / 2, 5 * h / 12, 7 * h / 12),   // g: middle
    };
    const char *figures[10] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    for (int d = 0; d < 10; d++) {
        bool want[7] = {};
        for (const char *s = figures[d]; *s; s++) want[*s - 'a'] = true;
        bool same = true;
        for (int s = 0; s < 7; s++) same = same && want[s] == seg[s];
        if (same) return d;
    }
    return -1;
}

bool row_has(const Unpacked *b, int y, Rgb colour) {
    for (int x = 0; x < b->width; x++)
        if (at(b, x, y) == colour) return true;
    return false;
}

// The bands of rows [first, last) that hold yellow.
std::vector<std::pair<int, int>> yellow_row_runs(const Unpacked *b) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < b->height; y++) {
        if (!row_has(b, y, YELLOW)) continue;
        if (!runs.empty() && runs.back().second == y) runs.back().second = y + 1;
        else runs.push_back({y, y + 1});
    }
    return runs;
}

}  // namespace

TEST(ClockBitmaps, EveryImageIsThereAtItsSize) {
    struct Want {
        int id, w, h, bpp;
    };
    std::vector<Want> wants = {
        {230, 29, 60, 24},  {215, 40, 110, 24}, {231, 20, 65, 24},  {217, 20, 90, 24},  {279, 20, 70, 24},
        {220, 21, 70, 24},  {216, 21, 90, 24},  {280, 20, 70, 24},  {277, 180, 22, 24}, {278, 180, 22, 24},
        {116, 200, 22, 24}, {117, 200, 22, 24}, {200, 200, 22, 24}, {204, 180, 22, 24}, {312, 16, 16, 24},
        {193, 16, 16, 24},  {307, 176, 180, 24}, {308, 240, 266, 24}, {309, 320, 186, 24},
        {324, 125, 134, 8}, {325, 180, 180, 24}, {131, 17, 17, 24}, {134, 9, 9, 24}, {135, 9, 9, 24},
        {323, 32, 16, 24},  {180, 32, 15, 24},
    };
    for (const Face &f : FACES)
        for (int id : f.digits) wants.push_back({id, f.digit_w, f.slot_h, 24});
    for (const Want &w : wants) {
        const Unpacked *b = bitmap(w.id);
        ASSERT_NE(b, nullptr) << "bitmap " << w.id;
        EXPECT_EQ(b->width, w.w) << "bitmap " << w.id;
        EXPECT_EQ(b->height, w.h) << "bitmap " << w.id;
        EXPECT_EQ(b->bits_per_pixel, w.bpp) << "bitmap " << w.id;
        EXPECT_TRUE(b->exact) << "bitmap " << w.id << " unpacks to another size";
    }
}

TEST(ClockBitmaps, DigitsReadAsTheirFigures) {
    for (const Face &f : FACES)
        for (int d = 0; d < 10; d++) EXPECT_EQ(read_digit(bitmap(f.digits[d])), d) << f.name << " bitmap " << f.digits[d];
}

// The clock swaps exactly this yellow for the user's colour and draws black
// as transparent: any other colour would stay yellowish after recolouring.
TEST(ClockBitmaps, RecolouredImagesHoldOnlyKeyYellowAndBlack) {
    std::vector<int> ids = {231, 217, 279, 277, 278, 116, 117, 200, 204};
    for (const Face &f : FACES) ids.insert(ids.end(), f.digits, f.digits + 10);
    for (int id : ids) {
        const Unpacked *b = bitmap(id);
        int yellow = count(b, YELLOW), black = count(b, BLACK);
        EXPECT_GT(yellow, 0) << "bitmap " << id;
        EXPECT_EQ(yellow + black, b->width * b->height) << "bitmap " << id << " has other colours";
    }
    for (int id : {230, 215, 220, 216, 280}) {
        const Unpacked *b = bitmap(id);
        EXPECT_EQ(count(b, BLACK), b->width * b->height) << "blank " << id;
    }
}

TEST(ClockBitmaps, ColonShowsTwoDotsWithinTheSlot) {
    for (const Face &f : FACES) {
        const Unpacked *b = bitmap(f.colon);
        auto runs = yellow_row_runs(b);
        ASSERT_EQ(runs.size(), 2u) << f.name;
        // The clock cuts the image to the slot, and the dots sit one in each half of the digits.
        EXPECT_LE(runs[1].second, f.slot_h) << f.name;
        EXPECT_LT(runs[0].second, f.slot_h / 2) << f.name;
        EXPECT_GT(runs[1].first, f.slot_h / 2) << f.name;
    }
}

// The lit word is a filled box, so its half of the strip holds the most yellow.
TEST(ClockBitmaps, AmPmStripsLightTheirOwnWord) {
    for (const Face &f : FACES) {
        const Unpacked *am = bitmap(f.am), *pm = bitmap(f.pm);
        int first = am->width, last = 0;
        for (int y = 0; y < am->height; y++)
            for (int x = 0; x < am->width; x++)
                if (at(am, x, y) == YELLOW) first = std::min(first, x), last = std::max(last, x);
        int middle = (first + last + 1) / 2;
        EXPECT_GT(count(am, YELLOW, 0, middle), 2 * count(am, YELLOW, middle)) << f.name << " AM";
        EXPECT_GT(count(pm, YELLOW, middle), 2 * count(pm, YELLOW, 0, middle)) << f.name << " PM";
    }
}

TEST(ClockBitmaps, BellIsNeverRecolouredAndHasATransparentSurround) {
    for (int id : {312, 193}) {
        const Unpacked *b = bitmap(id);
        EXPECT_EQ(count(b, YELLOW), 0) << "bitmap " << id;
        EXPECT_EQ(at(b, 0, b->height - 1), BLACK) << "bitmap " << id;
        EXPECT_EQ(at(b, b->width - 1, 0), BLACK) << "bitmap " << id;
        int shown = b->width * b->height - count(b, BLACK);
        EXPECT_GT(shown, b->width * b->height / 4) << "bitmap " << id;
    }
}

// Everything drawn over the background must land on its black panel: the
// ink of each image at its place on screen, the bell, and the status lines'
// rectangles under the face, which are filled black by the labels themselves.
TEST(ClockBitmaps, FaceAndStatusLinesSitOnTheBlackPanel) {
    for (const Face &f : FACES) {
        const Unpacked *bg = bitmap(f.background);
        int left = face_left(f), top = f.top;
        auto ink_on_panel = [&](int id, int x0, int y0, int w, int h) {
            const Unpacked *b = bitmap(id);
            for (int y = 0; y < std::min(h, b->height); y++)
                for (int x = 0; x < std::min(w, b->width); x++) {
                    if (at(b, x, y) == BLACK) continue;
                    ASSERT_LT(x0 + x, bg->width) << f.name << " bitmap " << id << " drawn off screen";
                    ASSERT_EQ(at(bg, x0 + x, y0 + y), BLACK) << f.name << " bitmap " << id << " at " << x << "," << y;
                }
        };
        int slot_y = top + 10;
        int tens = left + f.margin, units = tens + f.slot_w + f.gap, colon = units + f.slot_w;
        int mtens = colon + 20, munits = mtens + f.slot_w + f.gap;
        for (int x : {tens, units, mtens, munits}) ink_on_panel(f.digits[8], x, slot_y, f.slot_w, f.slot_h);
        ink_on_panel(f.colon, colon, slot_y, 20, f.slot_h);
        ink_on_panel(f.am, left + f.strip_dx, top - 20, f.strip_w, 22);
        ink_on_panel(f.pm, left + f.strip_dx, top - 20, f.strip_w, 22);
        if (f.banner) ink_on_panel(f.banner, left + f.banner_dx, top - 20, f.banner_w, 23);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                ASSERT_EQ(at(bg, left + f.bell_dx + x, top + f.bell_dy + y), BLACK) << f.name << " bell";
        int bottom = top + f.face_h;
        for (int y = bottom; y < bottom + 55; y++)
            for (int x = left; x < left + f.face_w; x++)
                ASSERT_EQ(at(bg, x, y), BLACK) << f.name << " status lines at " << x << "," << y;
    }
}

TEST(ClockBitmaps, BackgroundsFrameTheirPanelInLightColours) {
    for (const Face &f : FACES) {
        const Unpacked *bg = bitmap(f.background);
        EXPECT_EQ(bg->width, f.client_w);
        EXPECT_EQ(bg->height, f.client_h);
        for (int x = 0; x < bg->width; x++)
            for (int y : {1, bg->height - 2}) {
                Rgb p = at(bg, x, y);
                EXPECT_GT(p.r + p.g + p.b, 3 * 128) << f.name << " frame at " << x << "," << y;
            }
    }
}

TEST(ClockBitmaps, AlarmClockPicturesArePictures) {
    for (int id : {324, 325}) {
        const Unpacked *b = bitmap(id);
        std::vector<bool> seen(1 << 15);
        int colours = 0;
        for (int y = 0; y < b->height; y++)
            for (int x = 0; x < b->width; x++) {
                Rgb p = at(b, x, y);
                int key = (p.r >> 3) << 10 | (p.g >> 3) << 5 | (p.b >> 3);
                colours += !seen[size_t(key)];
                seen[size_t(key)] = true;
            }
        EXPECT_GT(colours, 50) << "bitmap " << id;
    }
}

// An up marker is a triangle on its base, so its lower half is the darker.
TEST(DialogBitmaps, SpinnerMarkersPointTheirWay) {
    auto ink = [](const Unpacked *b, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = 0; x < b->width; x++) n += 255 - at(b, x, y).r;
        return n;
    };
    const Unpacked *up = bitmap(134), *down = bitmap(135);
    int half = up->height / 2;
    EXPECT_GT(ink(up, half + 1, up->height), ink(up, 0, half));
    EXPECT_GT(ink(down, 0, half), ink(down, half + 1, down->height));
}

// The tree draws pure green as transparent: it must surround each folder and
// not appear inside one.
TEST(DialogBitmaps, FoldersStandOnTheTransparentGreen) {
    const Unpacked *b = bitmap(180);
    const Rgb GREEN = {0, 255, 0};
    for (int icon : {0, 16}) {
        EXPECT_EQ(at(b, icon, 0), GREEN);
        EXPECT_EQ(at(b, icon + 15, 0), GREEN);
        for (int y = 6; y < 12; y++)
            for (int x = icon + 4; x < icon + 12; x++) ASSERT_FALSE(at(b, x, y) == GREEN) << x << "," << y;
    }
}

// Runs cut short end the pixels there; nothing past them is read.
TEST(ClockBitmaps, RunsCutShortEndWithoutReadingPastThem) {
    const unsigned char literal_cut[] = {3, 1, 2, 3, 4, 5, 6, 0xEE};  // 4 pixels promised, 2 and a byte there
    const unsigned char repeat_cut[] = {200, 9, 9};                   // a repeat without its whole pixel
    const unsigned char whole[] = {129, 7, 8, 9, 0, 1, 2, 3};         // 3 pixels of 7,8,9, then 1,2,3
    struct Case {
        const unsigned char *runs;
        int size, pixels;
    } cases[] = {{literal_cut, 7, 0}, {repeat_cut, 3, 0}, {whole, 8, 4}, {whole, 7, 3}};
    for (const Case &c : cases) {
        BitmapResource res = {1, 2, 2, 24, c.runs, c.size};
        BitmapRuns runs;
        bitmap_runs_start(&runs, &res);
        unsigned char pixel[3];
        int n = 0;
        while (bitmap_runs_next(&runs, pixel)) n++;
        EXPECT_EQ(n, c.pixels) << "runs of " << c.size << " bytes";
        EXPECT_FALSE(bitmap_runs_next(&runs, pixel));
    }
}

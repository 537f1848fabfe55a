#include "tests/support/bitmap_runs.h"

#include <algorithm>

std::vector<unsigned char> literal_runs(const std::vector<unsigned char> &rgb) {
    std::vector<unsigned char> runs;
    size_t pixels = rgb.size() / 3;
    for (size_t p = 0; p < pixels; p += 128) {
        size_t n = std::min<size_t>(128, pixels - p);
        runs.push_back((unsigned char)(n - 1));
        runs.insert(runs.end(), rgb.begin() + long(p * 3), rgb.begin() + long((p + n) * 3));
    }
    return runs;
}

BitmapResource runs_bitmap(int id, int width, int height, const std::vector<unsigned char> &runs) {
    return {id, width, height, 24, runs.data(), int(runs.size())};
}

std::vector<unsigned char> bitmap_pixels(const BitmapResource *bitmap) {
    std::vector<unsigned char> out;
    BitmapRuns runs;
    bitmap_runs_start(&runs, bitmap);
    unsigned char pixel[3];
    while (bitmap_runs_next(&runs, pixel)) out.insert(out.end(), pixel, pixel + 3);
    return out;
}

#include <cstdio>
#include <cstring>

#include "outputs.h"

namespace {

constexpr size_t LONGEST_LITERAL = 128;  // lead bytes 0-127
constexpr size_t LONGEST_REPEAT = 129;   // lead bytes 128-255 stand for 2-129 pixels

// The runs the program unpacks (resources.h): two or more equal pixels make a
// repeat, anything else goes as it is. O(n) in the pixels.
std::vector<unsigned char> pack_runs(const std::vector<unsigned char> &rgb) {
    std::vector<unsigned char> out;
    size_t n = rgb.size() / 3;
    auto same = [&](size_t a, size_t b) { return memcmp(&rgb[a * 3], &rgb[b * 3], 3) == 0; };
    auto append = [&](size_t from, size_t to) {
        out.insert(out.end(), &rgb[from * 3], &rgb[from * 3] + (to - from) * 3);
    };
    size_t i = 0;
    while (i < n) {
        size_t j = i + 1;
        while (j < n && j - i < LONGEST_REPEAT && same(i, j)) j++;
        if (j - i >= 2) {
            out.push_back((unsigned char)(126 + (j - i)));
            append(i, i + 1);
            i = j;
            continue;
        }
        // Literal pixels up to where two equal ones start.
        while (j < n && j - i < LONGEST_LITERAL && !(j + 1 < n && same(j, j + 1))) j++;
        out.push_back((unsigned char)(j - i - 1));
        append(i, j);
        i = j;
    }
    return out;
}

void write_runs(FILE *f, const CatalogueEntry &e, size_t *size) {
    std::vector<unsigned char> runs = pack_runs(e.image.rgb);
    *size = runs.size();
    std::fprintf(f, "const unsigned char bitmap_%d[] = {", e.id);
    for (size_t i = 0; i < runs.size(); i++) std::fprintf(f, "%s%u,", i % 30 == 0 ? "\n" : "", unsigned(runs[i]));
    std::fprintf(f, "\n};\n\n");
}

}  // namespace

bool write_source(const std::vector<CatalogueEntry> &catalogue, const std::string &path) {
    // Written beside and renamed into place, so a failed run leaves no half file for the build.
    std::string partial = path + ".partial";
    FILE *f = std::fopen(partial.c_str(), "w");
    if (!f) return false;
    std::fprintf(f,
                 "// The clock's bitmaps, drawn by velbitmapgen at build time: change the\n"
                 "// generator, not this file.\n"
                 "#include \"platform/core/resources.h\"\n#include \"resources/clock_bitmaps.h\"\n\n"
                 "namespace {\n\n");
    std::vector<size_t> sizes(catalogue.size());
    for (size_t i = 0; i < catalogue.size(); i++) write_runs(f, catalogue[i], &sizes[i]);
    std::fprintf(f, "const BitmapResource CLOCK_BITMAPS[] = {\n");
    for (size_t i = 0; i < catalogue.size(); i++) {
        const CatalogueEntry &e = catalogue[i];
        std::fprintf(f, "    {%d, %d, %d, %d, bitmap_%d, %zu},  // %s\n", e.id, e.image.width, e.image.height,
                     e.bits_per_pixel, e.id, sizes[i], e.name.c_str());
    }
    std::fprintf(f,
                 "};\n\n}  // namespace\n\n"
                 "void register_clock_bitmaps(void) {\n"
                 "    resources_add_bitmaps(CLOCK_BITMAPS, int(sizeof CLOCK_BITMAPS / sizeof CLOCK_BITMAPS[0]));\n"
                 "}\n");
    bool ok = std::fclose(f) == 0;
    return ok && std::rename(partial.c_str(), path.c_str()) == 0;
}

#include <cstdio>

#include "outputs.h"

namespace {

void write_pixels(FILE *f, const CatalogueEntry &e) {
    std::fprintf(f, "const unsigned char bitmap_%d[] = {", e.id);
    for (size_t i = 0; i < e.image.rgb.size(); i++)
        std::fprintf(f, "%s%u,", i % 30 == 0 ? "\n" : "", unsigned(e.image.rgb[i]));
    std::fprintf(f, "\n};\n\n");
}

}  // namespace

bool write_source(const std::vector<CatalogueEntry> &catalogue, const std::string &path) {
    // Written beside and renamed into place, so a failed run leaves no half file for the build.
    std::string partial = path + ".partial";
    FILE *f = std::fopen(partial.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "// The clock's bitmaps, drawn by velbitmapgen at build time: change the\n"
                    "// generator, not this file.\n"
                    "#include \"platform/core/resources.h\"\n#include \"resources/clock_bitmaps.h\"\n\n"
                    "namespace {\n\n");
    for (const CatalogueEntry &e : catalogue) write_pixels(f, e);
    std::fprintf(f, "const BitmapResource CLOCK_BITMAPS[] = {\n");
    for (const CatalogueEntry &e : catalogue)
        std::fprintf(f, "    {%d, %d, %d, %d, bitmap_%d},  // %s\n", e.id, e.image.width, e.image.height,
                     e.bits_per_pixel, e.id, e.name.c_str());
    std::fprintf(f, "};\n\n}  // namespace\n\n"
                    "void register_clock_bitmaps(void) {\n"
                    "    resources_add_bitmaps(CLOCK_BITMAPS, int(sizeof CLOCK_BITMAPS / sizeof CLOCK_BITMAPS[0]));\n"
                    "}\n");
    bool ok = std::fclose(f) == 0;
    return ok && std::rename(partial.c_str(), path.c_str()) == 0;
}

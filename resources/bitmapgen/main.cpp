// velbitmapgen: draws every bitmap of the programs and writes them as a C++
// table for the build, and as PPM images for people to look at.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app_icon.h"
#include "catalogue.h"
#include "outputs.h"

namespace {

void usage(FILE *to) {
    std::fprintf(to, "usage: velbitmapgen [--source FILE.cpp] [--preview FOLDER] [--icon SIZE FILE.png]\n"
                     "  --source   write the bitmaps as a C++ table with register_clock_bitmaps()\n"
                     "  --preview  write each bitmap and sample clock faces as PPM images\n"
                     "  --icon     write the desktop icon, SIZE pixels square, as a PNG with alpha\n");
}

}  // namespace

int main(int argc, char **argv) {
    std::string source, preview, icon;
    int icon_size = 0;
    for (int i = 1; i < argc; i++) {
        bool has_value = i + 1 < argc;
        if (!std::strcmp(argv[i], "--help")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(argv[i], "--source") && has_value) {
            source = argv[++i];
        } else if (!std::strcmp(argv[i], "--preview") && has_value) {
            preview = argv[++i];
        } else if (!std::strcmp(argv[i], "--icon") && i + 2 < argc && std::atoi(argv[i + 1]) >= 16 &&
                   std::atoi(argv[i + 1]) <= 1024) {
            icon_size = std::atoi(argv[++i]);
            icon = argv[++i];
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (!icon.empty() && !write_icon_png(icon_size, icon)) {
        std::fprintf(stderr, "velbitmapgen: cannot write %s\n", icon.c_str());
        return 1;
    }
    if (source.empty() && preview.empty() && icon.empty()) {
        usage(stderr);
        return 2;
    }
    if (source.empty() && preview.empty()) return 0;
    std::vector<CatalogueEntry> catalogue = build_catalogue();
    if (!source.empty() && !write_source(catalogue, source)) {
        std::fprintf(stderr, "velbitmapgen: cannot write %s\n", source.c_str());
        return 1;
    }
    if (!preview.empty() && !write_previews(catalogue, preview)) {
        std::fprintf(stderr, "velbitmapgen: cannot write the previews into %s\n", preview.c_str());
        return 1;
    }
    return 0;
}

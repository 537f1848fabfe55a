// velbitmapgen: draws every bitmap of the programs and writes them as a C++
// table for the build, and as PPM images for people to look at.
#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue.h"
#include "outputs.h"

namespace {

void usage(FILE *to) {
    std::fprintf(to, "usage: velbitmapgen [--source FILE.cpp] [--preview FOLDER]\n"
                     "  --source   write the bitmaps as a C++ table with register_clock_bitmaps()\n"
                     "  --preview  write each bitmap and sample clock faces as PPM images\n");
}

}  // namespace

int main(int argc, char **argv) {
    std::string source, preview;
    for (int i = 1; i < argc; i++) {
        bool has_value = i + 1 < argc;
        if (!std::strcmp(argv[i], "--help")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(argv[i], "--source") && has_value) {
            source = argv[++i];
        } else if (!std::strcmp(argv[i], "--preview") && has_value) {
            preview = argv[++i];
        } else {
            usage(stderr);
            return 2;
        }
    }
    if (source.empty() && preview.empty()) {
        usage(stderr);
        return 2;
    }
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

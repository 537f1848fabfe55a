// Every bitmap the programs use, drawn and numbered.
#pragma once

#include <string>
#include <vector>

#include "image.h"

struct CatalogueEntry {
    int id;
    int bits_per_pixel;  // what the phone's image had; the pixels are RGB regardless
    std::string name;    // for previews
    Image image;
};

std::vector<CatalogueEntry> build_catalogue();
const CatalogueEntry *find_entry(const std::vector<CatalogueEntry> &catalogue, int id);

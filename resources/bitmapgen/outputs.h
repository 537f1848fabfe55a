// What the generator writes: the compiled-in table, and images to look at.
#pragma once

#include <string>
#include <vector>

#include "catalogue.h"

// A C++ source defining register_clock_bitmaps(); false when it cannot be written.
bool write_source(const std::vector<CatalogueEntry> &catalogue, const std::string &path);
// One binary PPM per bitmap, "<id>_<name>.ppm", and composed faces.
bool write_previews(const std::vector<CatalogueEntry> &catalogue, const std::string &folder);
bool write_ppm(const Image &image, const std::string &path);

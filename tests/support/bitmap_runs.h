// Compiled-in bitmaps for tests and benchmarks: raw pixels packed as the
// resource tables hold them, and the pixels a bitmap's runs give back.
#pragma once

#include <vector>

#include "platform/core/resources.h"

// Red-green-blue pixels as literal runs of at most 128 pixels.
std::vector<unsigned char> literal_runs(const std::vector<unsigned char> &rgb);

// A resource over runs that must outlive it.
BitmapResource runs_bitmap(int id, int width, int height, const std::vector<unsigned char> &runs);

// Every pixel the bitmap's runs give, 3 bytes each, up to where they end.
std::vector<unsigned char> bitmap_pixels(const BitmapResource *bitmap);

// PNG files of 8-bit RGBA pixels, for the desktop icon. The pixels are
// stored without compression, which every reader takes; the icon is small.
#pragma once

#include <string>
#include <vector>

// `rgba` holds 4 bytes a pixel, rows top-down. False when it cannot be written.
bool write_png(const std::string &path, int width, int height, const std::vector<unsigned char> &rgba);

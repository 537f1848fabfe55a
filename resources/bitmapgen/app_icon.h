// The desktop icon: the clock's yellow on a black tile, an alarm clock with
// two bells, drawn at any size.
#pragma once

#include <string>

#include "image.h"

// The icon over a plain backdrop colour, which shows only outside the tile.
Image app_icon(int size, Rgb backdrop);

// The icon as a PNG with an alpha channel; false when it cannot be written.
bool write_icon_png(int size, const std::string &path);

// The two colours of every image the clock recolours. The clock replaces
// exactly TINT_KEY by the user's colour and draws KEY_BLACK as transparent,
// so these images hold nothing else: an in-between edge colour would survive
// the recolouring as a yellowish fringe round a red or blue digit and would
// be drawn as a dark halo over the panel. Their shapes are therefore built
// from horizontal, vertical and 45-degree edges, which stay clean unblended.
#pragma once

#include "image.h"

constexpr Rgb TINT_KEY = {255, 255, 0};
constexpr Rgb KEY_BLACK = {0, 0, 0};

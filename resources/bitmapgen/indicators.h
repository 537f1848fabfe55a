// The strips above the face: AM/PM and the COUNTDOWN banner. centre is the
// image column the words are centred on (the middle of the digits below).
#pragma once

#include "image.h"

Image am_pm_strip(int width, int height, double centre, bool pm);
Image countdown_banner(int width, int height, double centre);

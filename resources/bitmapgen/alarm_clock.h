// The ringing dialogs' picture: a twin-bell alarm clock, ringing, on white.
#pragma once

#include "image.h"

Image alarm_clock_picture(int width, int height);

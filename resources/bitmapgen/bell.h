// The small crossed-out bell shown while alarms are silenced. It is never
// recoloured: greys only, on black, which the clock draws as transparent.
#pragma once

#include "image.h"

Image silenced_bell(int size);

// The face's background: a black panel sunk into a light brushed-metal frame,
// filling the client area. Black, because the status lines under the face
// are drawn on black; not recoloured.
#pragma once

#include "face_layouts.h"
#include "image.h"

Image draw_background(const FaceLayout &face);

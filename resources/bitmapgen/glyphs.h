// Capital letters for the indicator strips, drawn as 2-pixel strokes with
// 45-degree corners so that they stay clean without blending (tint_key.h).
// One size: 12 pixels high.
#pragma once

#include "image.h"

constexpr int LETTER_HEIGHT = 12;

// Width of the text's ink with the given space between letters.
int text_width(const char *text, int spacing);
// Draws the text with its ink's top-left corner at (x, top).
void draw_text(Image &image, int x, int top, const char *text, int spacing, Rgb colour);

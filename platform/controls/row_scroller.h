// The rows of a list view or a tree view: their height (a line of the font or
// an image, whichever is taller), how many fit under the header, keeping one
// row in view, and painting the rows in view with the scroll thumb. Internal
// to the platform.
#pragma once

#include <functional>

#include "platform/controls/control_internal.h"

namespace plat {

struct RowGeometry {
    int header;   // pixels above the first row
    int height;   // of one row
    int in_view;  // whole rows under the header, at least 1
};

// The geometry of the control's rows with images from `images` (nullptr:
// none) under a header `header` pixels high.
RowGeometry row_geometry(HWND control, HIMAGELIST images, int header);

// Moves `*top`, the first row in view, so that row `index` of `count` is in
// view (an index outside the rows only keeps `*top` within them), and
// repaints.
void rows_scroll_into_view(HWND control, const RowGeometry &g, int *top, int index, int count);

// Paints the rows from `top` that are at least partly in view, each through
// `paint_row` with its rectangle, and the scroll thumb when not all fit.
void rows_paint(const ControlPaint &p, const RowGeometry &g, int top, int count,
                const std::function<void(int index, const RECT &row)> &paint_row);

}  // namespace plat

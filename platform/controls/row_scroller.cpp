#include "platform/controls/row_scroller.h"

#include <algorithm>

#include "platform/screen/look.h"

namespace plat {

RowGeometry row_geometry(HWND control, HIMAGELIST images, int header) {
    int image_width = 0, image_height = 0;
    if (images) ImageList_GetIconSize(images, &image_width, &image_height);
    int height = std::max(control_line_height(control) + 4, image_height + 2);
    RECT client;
    GetClientRect(control, &client);
    return RowGeometry{.header = header, .height = height, .in_view = std::max(1, int(client.bottom - header) / height)};
}

void rows_scroll_into_view(HWND control, const RowGeometry &g, int *top, int index, int count) {
    if (index >= 0 && index < count) {
        if (index < *top) *top = index;
        else if (index >= *top + g.in_view) *top = index - g.in_view + 1;
    }
    *top = std::clamp(*top, 0, std::max(0, count - g.in_view));
    InvalidateRect(control, nullptr, TRUE);
}

void rows_paint(const ControlPaint &p, const RowGeometry &g, int top, int count,
                const std::function<void(int index, const RECT &row)> &paint_row) {
    for (int i = top; i < count && i <= top + g.in_view; i++) {
        int y = g.header + (i - top) * g.height;
        paint_row(i, RECT{0, y, p.client.right, y + g.height});
    }
    if (count > g.in_view)
        look_scroll_thumb(p.dc, {p.client.right - 3, g.header, p.client.right, p.client.bottom}, top, g.in_view, count);
}

}  // namespace plat

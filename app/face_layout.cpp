// Which layout the screen takes, and where the face and its parts lie.
#include "app/clock_face.h"
#include "app/main_window.h"

LayoutMetrics Layout;
DigitSlot Slots[SLOT_COUNT];

namespace {

// Small, large, landscape: the fixed part of LayoutMetrics.
const LayoutMetrics LAYOUTS[LAYOUT_COUNT] = {
    {LAYOUT_SMALL, 156, 75, 29, 60, 5, 5, 35, 307, 0, 180, 0, 0, 2, -10, 312, 0, 0, 0, 0, 0},
    {LAYOUT_LARGE, 220, 140, 40, 110, 10, 10, 45, 308, 21, 200, 20, 200, 2, -20, 193, 0, 0, 0, 0, 0},
    {LAYOUT_LANDSCAPE, 240, 90, 45, 70, 10, 10, 30, 309, 34, 180, 38, 180, -2, -20, 193, 0, 0, 0, 0, 0},
};

}  // namespace

int layout_for_size(int width, int height) {
    if (width == 176 && height == 220) return LAYOUT_SMALL;
    return width > height ? LAYOUT_LANDSCAPE : LAYOUT_LARGE;
}

int screen_layout(void) { return layout_for_size(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

int layout_index(int selector) {
    switch (selector) {
    case LAYOUT_SMALL: return 0;
    case LAYOUT_LARGE: return 1;
    default: return 2;
    }
}

void compute_layout(void) {
    Layout = LAYOUTS[layout_index(MainWindow.screen_type)];
    RECT client = {0, 0, 0, 0};
    GetClientRect(MainWindow.window, &client);
    Layout.client_width = int(client.right - client.left);
    Layout.client_height = int(client.bottom - client.top);
    Layout.face_left = (Layout.client_width - Layout.face_width) / 2;
    Layout.face_top = int(client.top) + Layout.top_offset;
    Layout.face_bottom = Layout.face_top + Layout.face_height;
}

void compute_slots(void) {
    int x = Layout.face_left + Layout.left_margin;
    for (int s = 0; s < SLOT_COUNT; s++) {
        int width = s == SLOT_COLON ? COLON_SLOT_WIDTH : Layout.digit_width;
        Slots[s] = {x, Layout.face_top + 10, width, Layout.digit_height};
        x += width + (s == SLOT_HOUR_TENS || s == SLOT_MINUTE_TENS ? Layout.digit_gap : 0);
    }
}

RECT am_pm_rect(void) {
    int x = Layout.face_left + Layout.strip_dx, y = Layout.face_top - 20;
    return {x, y, x + Layout.strip_width, y + AM_PM_HEIGHT};
}

RECT banner_rect(void) {
    int x = Layout.face_left + Layout.banner_dx, y = Layout.face_top - 20;
    return {x, y, x + Layout.banner_width, y + BANNER_HEIGHT};
}

RECT bell_rect(void) {
    int x = Layout.face_left + Layout.bell_dx, y = Layout.face_top + Layout.bell_dy;
    return {x, y, x + BELL_SIZE, y + BELL_SIZE};
}

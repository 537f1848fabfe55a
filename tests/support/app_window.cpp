#include "platform/device/clock_testing.h"
#include "tests/support/app_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/status_labels.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/bitmap_runs.h"

void AppWindow::SetUp() {
    TempDevice::SetUp();
    setenv("VELMORA_NOTIFYD", "off", 1);
    memset(&MainWindow, 0, sizeof MainWindow);
    freeze_at(10, 0);
}

void AppWindow::TearDown() {
    stop();
    UnregisterClassW(L"Velmora", nullptr);
    TempDevice::TearDown();
}

void AppWindow::screen(const char *size) {
    FILE *f = fopen(host("device.conf").c_str(), "w");
    ASSERT_NE(f, nullptr);
    fprintf(f, "screen = %s\n", size);
    fclose(f);
}

void AppWindow::settings(const std::function<void()> &change) {
    load_settings();
    change();
    save_settings();
}

void AppWindow::freeze_at(int hour, int minute, int second) {
    SYSTEMTIME t = {};
    t.wYear = 2030, t.wMonth = 1, t.wDay = 15;  // a Tuesday
    t.wHour = WORD(hour), t.wMinute = WORD(minute), t.wSecond = WORD(second);
    clock_freeze_local(&t);
}

void AppWindow::start(const wchar_t *command_line) {
    int code = -1;
    ASSERT_TRUE(program_start(nullptr, nullptr, command_line, &code)) << "exit code " << code;
    running = true;
    KillTimer(MainWindow.window, TICK_TIMER_ID);
    pump();
}

void AppWindow::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

void AppWindow::tick_timer() {
    SendMessageW(MainWindow.window, WM_TIMER, TICK_TIMER_ID, 0);
    pump();
}

void AppWindow::stop() {
    if (!running) return;
    running = false;
    if (IsWindow(MainWindow.window)) SendMessageW(MainWindow.window, WM_CLOSE, 0, 0);
    pump();
    program_end();
}

COLORREF AppWindow::pixel(int x, int y) {
    HDC dc = GetDC(MainWindow.window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(MainWindow.window, dc);
    return c;
}

namespace {

// The bitmap's unpacked pixels; empty when its runs do not fill it.
std::vector<unsigned char> resource_pixels(const BitmapResource *b) {
    std::vector<unsigned char> rgb = b ? bitmap_pixels(b) : std::vector<unsigned char>();
    if (b && rgb.size() != size_t(b->width) * size_t(b->height) * 3) rgb.clear();
    return rgb;
}

COLORREF resource_pixel(const std::vector<unsigned char> &rgb, const BitmapResource *b, int x, int y) {
    const unsigned char *p = rgb.data() + (size_t(y) * size_t(b->width) + size_t(x)) * 3;
    return RGB(p[0], p[1], p[2]);
}

}  // namespace

int AppWindow::mismatches(RECT target, int id, COLORREF colour) {
    const BitmapResource *background = resources_find_bitmap(Layout.background_id);
    const BitmapResource *image = id ? resources_find_bitmap(id) : nullptr;
    std::vector<unsigned char> background_rgb = resource_pixels(background), image_rgb = resource_pixels(image);
    if (background_rgb.empty() || (id && image_rgb.empty())) return -1;
    int wrong = 0;
    for (int y = int(target.top); y < int(target.bottom); y++)
        for (int x = int(target.left); x < int(target.right); x++) {
            if (x < 0 || y < 0 || x >= Layout.client_width || y >= Layout.client_height) continue;
            COLORREF want = resource_pixel(background_rgb, background, x, y);
            int ix = x - int(target.left), iy = y - int(target.top);
            if (image && ix < image->width && iy < image->height) {
                COLORREF ink = resource_pixel(image_rgb, image, ix, iy);
                if (ink == RGB(255, 255, 0)) ink = colour;
                if (ink != RGB(0, 0, 0)) want = ink;
            }
            wrong += pixel(x, y) != want;
        }
    return wrong;
}

RECT AppWindow::slot_rect(int slot) {
    const DigitSlot &s = Slots[slot];
    return {s.x, s.y, s.x + s.width, s.y + s.height};
}

std::wstring AppWindow::text_of(HWND window) {
    WCHAR text[256] = L"";
    if (window) GetWindowTextW(window, text, 256);
    return text;
}

int digit_id(int selector, int digit) {
    static const int SMALL[] = {219, 221, 222, 223, 224, 225, 226, 227, 228, 229};
    static const int LANDSCAPE[] = {248, 249, 250, 251, 252, 253, 254, 255, 247, 256};
    if (selector == LAYOUT_SMALL) return SMALL[digit];
    if (selector == LAYOUT_LANDSCAPE) return LANDSCAPE[digit];
    return 205 + digit;
}
int blank_id(int selector) { return selector == LAYOUT_SMALL ? 230 : 215; }
int colon_id(int selector) { return selector == LAYOUT_SMALL ? 231 : selector == LAYOUT_LARGE ? 217 : 279; }
int am_id(int selector) { return selector == LAYOUT_LARGE ? 116 : 277; }
int pm_id(int selector) { return selector == LAYOUT_LARGE ? 117 : 278; }

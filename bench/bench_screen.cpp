// Painting and presenting the screen: a full-screen 240x320 window painted
// with a background picture, four digits drawn with a colour key and three
// lines of text, as the clock face paints; and composing and presenting one
// frame.
// Target: under 5 ms each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_device.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/screen.h"
#include "tests/support/bitmap_runs.h"

namespace {

std::vector<unsigned char> background_runs, digit_runs;
BitmapResource BITMAPS[2];

struct Face {
    HDC background = nullptr, digit = nullptr;
    HFONT bold = nullptr;
} face;

LRESULT face_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_PAINT) return DefWindowProcW(w, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    BitBlt(dc, 0, 0, 240, 320, face.background, 0, 0, SRCCOPY);
    for (int i = 0; i < 4; i++) TransparentImage(dc, 10 + i * 50, 55, 40, 110, face.digit, 0, 0, 40, 110, RGB(0, 0, 0));
    SelectObject(dc, face.bold);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 0));
    const WCHAR *lines[] = {L"Monday, Dec 7", L"Alarm 1 (7:30 AM Today)", L"@512"};
    for (int i = 0; i < 3; i++) {
        RECT r = {10, 190 + i * 22, 230, 210 + i * 22};
        DrawTextW(dc, lines[i], -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
    EndPaint(w, &ps);
    return 0;
}

HWND setup() {
    static HWND window = nullptr;
    if (window) return window;
    setenv("VELMORA_SCREEN", "headless", 0);  // VELMORA_SCREEN=sdl measures the real window
    bench_device_open();
    std::vector<unsigned char> background_rgb(240 * 320 * 3), digit_rgb(40 * 110 * 3);
    for (size_t i = 0; i < background_rgb.size(); i++) background_rgb[i] = (unsigned char)(i * 7);
    for (size_t i = 0; i < digit_rgb.size(); i += 3) digit_rgb[i] = digit_rgb[i + 1] = (i / 3) % 7 < 4 ? 255 : 0;
    background_runs = literal_runs(background_rgb);
    digit_runs = literal_runs(digit_rgb);
    BITMAPS[0] = runs_bitmap(1, 240, 320, background_runs);
    BITMAPS[1] = runs_bitmap(2, 40, 110, digit_runs);
    resources_add_bitmaps(BITMAPS, 2);
    face.background = CreateCompatibleDC(nullptr);
    SelectObject(face.background, LoadBitmapW(nullptr, MAKEINTRESOURCEW(1)));
    face.digit = CreateCompatibleDC(nullptr);
    SelectObject(face.digit, LoadBitmapW(nullptr, MAKEINTRESOURCEW(2)));
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    face.bold = CreateFontIndirectW(&lf);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = face_proc;
    wc.lpszClassName = L"BenchFace";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, L"BenchFace", L"Velmora", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                             nullptr);
    return window;
}

void BM_PaintClientArea(benchmark::State &state) {
    HWND w = setup();
    for (auto _ : state) {
        InvalidateRect(w, nullptr, FALSE);
        UpdateWindow(w);
    }
}
BENCHMARK(BM_PaintClientArea)->Unit(benchmark::kMicrosecond);

void BM_PresentFrame(benchmark::State &state) {
    setup();
    for (auto _ : state) {
        plat::screen_touch();
        plat::screen_present_now();
    }
}
BENCHMARK(BM_PresentFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Drawing on memory bitmaps and windows: DIB layout as the clock's tinting
// walks it, colour-keyed copies, text colour and weight, a static control's
// colour request, and bad handles refused without harm.
#include <gtest/gtest.h>

#include <vector>

#include "platform/phone.h"
#include "tests/support/bitmap_runs.h"
#include "tests/support/temp_device.h"

namespace {

constexpr COLORREF YELLOW = RGB(255, 255, 0);

HBITMAP make_dib(int w, int h, unsigned char **bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<unsigned char *>(p);
    return b;
}

// A memory DC drawing on a fresh DIB section.
HDC dib_dc(int w, int h, HBITMAP *bitmap) {
    unsigned char *bits;
    *bitmap = make_dib(w, h, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, *bitmap);
    return dc;
}

// The colour of every pixel of a bitmap, read back through a DC.
std::vector<COLORREF> pixels_of(HBITMAP b, int w, int h) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    std::vector<COLORREF> out;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

// A digit-like picture: yellow strokes, near-yellow and other colours
// around them, black elsewhere.
std::vector<unsigned char> test_picture(int w, int h) {
    std::vector<unsigned char> rgb(size_t(w) * h * 3, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned char *p = &rgb[(size_t(y) * w + x) * 3];
            if ((x + y) % 3 == 0) p[0] = 255, p[1] = 255, p[2] = 0;      // pure yellow
            else if ((x + y) % 7 == 1) p[0] = 255, p[1] = 254, p[2] = 0; // almost yellow
            else if ((x * y) % 5 == 2) p[0] = 10, p[1] = 200, p[2] = 30;
        }
    return rgb;
}

class Drawing : public TempDevice {};

TEST_F(Drawing, DibRowsArePaddedToFourBytesAndHoldBlueGreenRed) {
    for (int w : {21, 29}) {
        unsigned char *bits = nullptr;
        HBITMAP b = make_dib(w, 60, &bits);
        ASSERT_NE(b, nullptr);
        BITMAP bm;
        ASSERT_EQ(GetObjectW(b, sizeof bm, &bm), int(sizeof bm));
        EXPECT_EQ(bm.bmWidthBytes, w == 21 ? 64 : 88);
        EXPECT_EQ(bm.bmBitsPixel, 24);
        EXPECT_EQ(bm.bmBits, bits);
        // The last pixel of row 5, written by address as the phone's code does.
        unsigned char *p = bits + 5 * bm.bmWidthBytes + (w - 1) * 3;
        p[0] = 1, p[1] = 2, p[2] = 3;
        std::vector<COLORREF> seen = pixels_of(b, w, 60);
        EXPECT_EQ(seen[size_t(5 * w + w - 1)], RGB(3, 2, 1));
        EXPECT_EQ(seen[size_t(6 * w)], RGB(0, 0, 0));
        DeleteObject(b);
    }
}

TEST_F(Drawing, TintingRecoloursEveryPureYellowPixelAndNothingElse) {
    for (int w : {21, 29}) {
        const int h = 70;
        std::vector<unsigned char> rgb = test_picture(w, h);
        std::vector<unsigned char> runs = literal_runs(rgb);
        BitmapResource res[] = {runs_bitmap(500 + w, w, h, runs)};
        resources_add_bitmaps(res, 1);
        // The clock's tinting: load, copy into a DIB section, walk its rows.
        HBITMAP loaded = LoadBitmapW(nullptr, MAKEINTRESOURCEW(500 + w));
        ASSERT_NE(loaded, nullptr);
        BITMAP bm;
        ASSERT_TRUE(GetObjectW(loaded, sizeof bm, &bm));
        unsigned char *bits;
        HBITMAP dib = make_dib(bm.bmWidth, bm.bmHeight, &bits);
        HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
        HGDIOBJ old_from = SelectObject(from, loaded), old_to = SelectObject(to, dib);
        ASSERT_TRUE(BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY));
        SelectObject(from, old_from);
        SelectObject(to, old_to);
        DeleteDC(from);
        DeleteDC(to);
        DeleteObject(loaded);
        BITMAP db;
        GetObjectW(dib, sizeof db, &db);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                unsigned char *p = bits + y * db.bmWidthBytes + x * 3;
                if (p[2] == 255 && p[1] == 255 && p[0] == 0) p[0] = 255;  // yellow becomes white
            }
        std::vector<COLORREF> seen = pixels_of(dib, w, h);
        for (int i = 0; i < w * h; i++) {
            const unsigned char *s = &rgb[size_t(i) * 3];
            COLORREF want = RGB(s[0], s[1], s[2]) == YELLOW ? RGB(255, 255, 255) : RGB(s[0], s[1], s[2]);
            ASSERT_EQ(seen[size_t(i)], want) << "width " << w << " pixel " << i % w << "," << i / w;
        }
        DeleteObject(dib);
    }
}

TEST_F(Drawing, TransparentImageLeavesTheTargetWhereTheSourceHasTheKeyColour) {
    const int w = 45, h = 20;
    HBITMAP target;
    HDC dc = dib_dc(w, h, &target);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, blue);
    // A 36-pixel image drawn into a 45-pixel slot: black key, a yellow bar.
    std::vector<unsigned char> rgb(36 * h * 3, 0);
    for (int y = 5; y < 10; y++)
        for (int x = 0; x < 36; x++) rgb[(size_t(y) * 36 + x) * 3] = 255, rgb[(size_t(y) * 36 + x) * 3 + 1] = 255;
    std::vector<unsigned char> runs = literal_runs(rgb);
    BitmapResource res[] = {runs_bitmap(600, 36, h, runs)};
    resources_add_bitmaps(res, 1);
    HBITMAP image = LoadBitmapW(nullptr, MAKEINTRESOURCEW(600));
    ASSERT_TRUE(TransparentImage(dc, 0, 0, w, h, image, 0, 0, w, h, RGB(0, 0, 0)));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            COLORREF want = (y >= 5 && y < 10 && x < 36) ? YELLOW : RGB(0, 0, 200);
            ASSERT_EQ(GetPixel(dc, x, y), want) << x << "," << y;
        }
    DeleteObject(image);
    DeleteDC(dc);
    DeleteObject(target);
    DeleteObject(blue);
}

// Ink pixels of text drawn in `colour` on white, and whether each one is a
// mix of the two.
int ink_of(HDC dc, int w, int h, COLORREF colour, bool *pure_seen, bool *only_mixes) {
    int ink = 0;
    *pure_seen = false;
    *only_mixes = true;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == RGB(255, 255, 255)) continue;
            ink++;
            if (c == colour) *pure_seen = true;
            // Blue ink on white: red and green fall together, blue stays full.
            if (GetBValue(c) != 255 || GetRValue(c) != GetGValue(c)) *only_mixes = false;
        }
    return ink;
}

TEST_F(Drawing, TextIsDrawnInTheChosenColourAndBoldIsHeavier) {
    const int w = 200, h = 40;
    HBITMAP b;
    HDC dc = dib_dc(w, h, &b);
    int ink[2];
    LONG widths[2];
    for (int bold = 0; bold < 2; bold++) {
        LOGFONTW lf = {};
        lf.lfHeight = -20;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        wcscpy(lf.lfFaceName, L"Tahoma");
        HFONT font = CreateFontIndirectW(&lf);
        ASSERT_NE(font, nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        RECT all = {0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        EXPECT_GT(DrawTextW(dc, L"Hello 12:34", -1, &all, DT_LEFT | DT_SINGLELINE | DT_VCENTER), 0);
        SIZE s;
        ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Hello 12:34", 11, &s));
        widths[bold] = s.cx;
        EXPECT_GE(s.cy, 20);
        EXPECT_LE(s.cy, 26);
        bool pure, mixes;
        ink[bold] = ink_of(dc, w, h, RGB(0, 0, 255), &pure, &mixes);
        EXPECT_TRUE(pure) << "no pixel has the text colour itself";
        EXPECT_TRUE(mixes) << "a pixel is neither text nor background colour";
        SelectObject(dc, old);
        DeleteObject(font);
    }
    EXPECT_GT(ink[1], ink[0] * 115 / 100) << "bold is not heavier";
    EXPECT_GT(widths[1], widths[0]);
    DeleteDC(dc);
    DeleteObject(b);
}

TEST_F(Drawing, PositiveFontHeightIsTheWholeCell) {
    LOGFONTW lf = {};
    lf.lfHeight = 30;
    HFONT cell = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, cell);
    SIZE s;
    GetTextExtentPoint32W(dc, L"Ag", 2, &s);
    EXPECT_NEAR(s.cy, 30, 1);
    DeleteDC(dc);
    DeleteObject(cell);
}

constexpr COLORREF LABEL_INK = RGB(255, 0, 0);

LRESULT label_parent(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CTLCOLORSTATIC && GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == 7) {
        SetTextColor(reinterpret_cast<HDC>(wp), LABEL_INK);
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    }
    return DefWindowProcW(w, m, wp, lp);
}

TEST_F(Drawing, StaticControlPaintsTheColoursItsParentReturns) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = label_parent;
    wc.lpszClassName = L"LabelParent";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, L"LabelParent", L"Labels", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HWND coloured = CreateWindowExW(0, L"STATIC", L"Mon, Dec 7", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 100, 200,
                                    30, parent, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    HWND plain = CreateWindowExW(0, L"STATIC", L"Plain", WS_CHILD | WS_VISIBLE, 10, 140, 200, 30, parent,
                                 reinterpret_cast<HMENU>(8), nullptr, nullptr);
    ASSERT_TRUE(coloured && plain);
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&lf);
    SendMessageW(coloured, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    UpdateWindow(parent);
    HDC dc = GetDC(coloured);
    int red = 0;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 200; x++) {
            COLORREF c = GetPixel(dc, x, y);
            ASSERT_EQ(GetGValue(c), 0) << "not a mix of the label's colours at " << x << "," << y;
            ASSERT_EQ(GetBValue(c), 0);
            red += c == LABEL_INK;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    ReleaseDC(coloured, dc);
    // A control whose parent leaves the request alone gets the default colours.
    dc = GetDC(plain);
    EXPECT_EQ(GetPixel(dc, 199, 29), RGB(255, 255, 255));
    ReleaseDC(plain, dc);
    // Around the controls the parent's own background shows.
    dc = GetDC(parent);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(192, 192, 192));
    ReleaseDC(parent, dc);
    DestroyWindow(parent);
    DeleteObject(font);
}

TEST_F(Drawing, BadHandlesAreRefusedWithoutHarm) {
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(9999)), nullptr);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    // A released DC is gone for good.
    RECT r = {0, 0, 5, 5};
    EXPECT_EQ(FillRect(screen, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    EXPECT_EQ(SelectObject(screen, GetStockObject(BLACK_BRUSH)), nullptr);
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 0);
    // A bitmap selected into a DC is not deleted under it.
    HBITMAP b = CreateCompatibleBitmap(nullptr, 4, 4);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, b);
    EXPECT_FALSE(DeleteObject(b));
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(SelectObject(mem, b), nullptr);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_FALSE(DeleteDC(mem));
    // Only 24-bit sections are made.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 8;
    bi.bmiHeader.biHeight = -8;
    bi.bmiHeader.biBitCount = 32;
    void *bits = reinterpret_cast<void *>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

}  // namespace

// The clock face on screen, pixel for pixel: each digit slot shows the
// bitmap it must, in 12- and 24-hour display, in a countdown and in another
// colour, on all three screens; only what changed is drawn again.
#include <gtest/gtest.h>

#include <vector>

#include "app/status_labels.h"
#include "platform/device/clock_testing.h"
#include "platform/screen/screen.h"
#include "resources/clock_bitmaps.h"
#include "app/window_modes.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/bitmap_runs.h"

namespace {

constexpr COLORREF YELLOW = RGB(255, 255, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);

struct ScreenCase {
    const char *size;
    int selector;
    int face_left, face_top;
    int slot_x[SLOT_COUNT];
};

const ScreenCase SCREENS[] = {
    {"240x320", LAYOUT_LARGE, 10, 45, {20, 70, 110, 130, 180}},
    {"176x220", LAYOUT_SMALL, 10, 35, {15, 49, 78, 98, 132}},
    {"320x240", LAYOUT_LANDSCAPE, 40, 30, {50, 105, 150, 170, 225}},
};

class Face : public AppWindow, public ::testing::WithParamInterface<ScreenCase> {
protected:
    // The four digit slots and the colon, shown, against what they must show
    // (-1: the blank).
    void expect_digits(int h1, int h2, int m1, int m2, COLORREF colour = YELLOW) {
        int selector = GetParam().selector;
        int want[] = {h1, h2, -2, m1, m2};
        for (int s = 0; s < SLOT_COUNT; s++) {
            int id = want[s] == -2 ? colon_id(selector) : want[s] == -1 ? blank_id(selector) : digit_id(selector, want[s]);
            EXPECT_EQ(mismatches(slot_rect(s), id, colour), 0) << "slot " << s << " of " << GetParam().size;
        }
    }
    void start_on_screen() {
        screen(GetParam().size);
        start();
        ASSERT_EQ(Layout.selector, GetParam().selector);
    }
};

INSTANTIATE_TEST_SUITE_P(Screens, Face, ::testing::ValuesIn(SCREENS),
                         [](const auto &info) { return std::string(info.param.size).replace(3, 1, "x"); });

TEST_P(Face, FaceAndSlotsSitWhereTheLayoutPutsThem) {
    start_on_screen();
    EXPECT_EQ(Layout.face_left, GetParam().face_left);
    EXPECT_EQ(Layout.face_top, GetParam().face_top);
    for (int s = 0; s < SLOT_COUNT; s++) {
        EXPECT_EQ(Slots[s].x, GetParam().slot_x[s]) << "slot " << s;
        EXPECT_EQ(Slots[s].y, GetParam().face_top + 10);
    }
}

struct TimeCase {
    int hour, minute;
    bool twenty_four;
    int h1, h2, m1, m2;
    int strip;  // 0 AM, 1 PM, -1 none
};

TEST_P(Face, DigitsAndAmPmFollowTheTimeIn12And24HourDisplay) {
    const TimeCase CASES[] = {
        {0, 5, false, 1, 2, 0, 5, 0},    // midnight hour shows 12 AM
        {12, 30, false, 1, 2, 3, 0, 1},  // noon hour is PM
        {13, 7, false, -1, 1, 0, 7, 1},  // blank hour tens
        {9, 15, true, 0, 9, 1, 5, -1},   // 24-hour: leading 0, no strip
        {23, 59, true, 2, 3, 5, 9, -1},
    };
    for (const TimeCase &c : CASES) {
        SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute << (c.twenty_four ? " 24h" : " 12h"));
        settings([&] { Settings.TwentyFourHourTime = c.twenty_four ? 1 : 0; });
        freeze_at(c.hour, c.minute);
        start_on_screen();
        expect_digits(c.h1, c.h2, c.m1, c.m2);
        int selector = GetParam().selector;
        int strip = c.strip == 0 ? am_id(selector) : c.strip == 1 ? pm_id(selector) : 0;
        EXPECT_EQ(mismatches(am_pm_rect(), strip), 0);
        stop();
        UnregisterClassW(L"Velmora", nullptr);
    }
}

TEST_P(Face, CountdownShowsHoursAndMinutesLeftWithTheBanner) {
    settings([] {
        SYSTEMTIME now;
        GetLocalTime(&now);
        FILETIME ft;
        SystemTimeToFileTime(&now, &ft);
        ULONGLONG end = ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) + (65 * 60 + 30) * 10000000ULL;
        Settings.Countdown = 1;
        Settings.CDFTLow = DWORD(end);
        Settings.CDFTHigh = DWORD(end >> 32);
        Settings.TwentyFourHourTime = 0;
    });
    start_on_screen();
    EXPECT_EQ(MainWindow.mode, MODE_COUNTDOWN);
    expect_digits(0, 1, 0, 5);  // the leading 0 is drawn, even in 12-hour display
    if (GetParam().selector == LAYOUT_SMALL) {
        EXPECT_EQ(mismatches(am_pm_rect(), 0), 0);  // no banner, no AM/PM
    } else {
        EXPECT_EQ(mismatches(banner_rect(), GetParam().selector == LAYOUT_LARGE ? 200 : 204), 0);
    }
}

TEST_P(Face, CountdownEndInThePastShowsZerosAndAFarOneStopsAt99Hours) {
    settings([] {
        Settings.Countdown = 1;
        Settings.CDFTLow = 12345;  // 1601
        Settings.CDFTHigh = 0;
    });
    start_on_screen();
    expect_digits(0, 0, 0, 0);
    stop();
    UnregisterClassW(L"Velmora", nullptr);
    settings([] {
        Settings.CDFTLow = 0xFFFFFFFF;
        Settings.CDFTHigh = 0xFFFFFFFF;
    });
    start_on_screen();
    expect_digits(9, 9, 5, 9);
}

TEST_P(Face, WhiteTurnsEveryYellowPixelWhiteAndLeavesTheRest) {
    settings([] {
        Settings.Color = WHITE;
        Settings.TwentyFourHourTime = 0;
    });
    freeze_at(13, 48);
    start_on_screen();
    expect_digits(-1, 1, 4, 8, WHITE);
    EXPECT_EQ(mismatches(am_pm_rect(), pm_id(GetParam().selector), WHITE), 0);
    // The labels' text is drawn in the colour too.
    RECT r;
    GetClientRect(Labels.next_alarm.window, &r);
    int white = 0, yellow = 0;
    HDC dc = GetDC(Labels.next_alarm.window);
    for (int y = 0; y < r.bottom; y++)
        for (int x = 0; x < r.right; x++) {
            white += GetPixel(dc, x, y) == WHITE;
            yellow += GetPixel(dc, x, y) == YELLOW;
        }
    ReleaseDC(Labels.next_alarm.window, dc);
    EXPECT_GT(white, 20);
    EXPECT_EQ(yellow, 0);
}

TEST_P(Face, SilencedShowsTheBellWholeOverTheAmPmStrip) {
    settings([] {
        Settings.Silenced = 1;
        Settings.TwentyFourHourTime = 0;
    });
    start_on_screen();
    int bell = GetParam().selector == LAYOUT_SMALL ? 312 : 193;
    EXPECT_EQ(mismatches(bell_rect(), bell), 0);
    // The strip is drawn again at noon; the bell stays whole.
    freeze_at(12, 0);
    tick_timer();
    EXPECT_EQ(Cache.am_pm, 1);
    EXPECT_EQ(mismatches(bell_rect(), bell), 0);
}

TEST(LayoutSelector, OnlyExactly176x220IsSmallAndWiderThanHighIsLandscape) {
    EXPECT_EQ(layout_for_size(176, 220), LAYOUT_SMALL);
    EXPECT_EQ(layout_for_size(176, 208), LAYOUT_LARGE);
    EXPECT_EQ(layout_for_size(240, 320), LAYOUT_LARGE);
    EXPECT_EQ(layout_for_size(320, 240), LAYOUT_LANDSCAPE);
    EXPECT_EQ(layout_for_size(220, 176), LAYOUT_LANDSCAPE);
}

class FaceOnLarge : public AppWindow {
protected:
    void mark_slots_red() {
        HDC dc = GetDC(MainWindow.window);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        for (int s = 0; s < SLOT_COUNT; s++) {
            RECT r = slot_rect(s);
            if (s != SLOT_COLON) FillRect(dc, &r, red);
        }
        DeleteObject(red);
        ReleaseDC(MainWindow.window, dc);
    }
    bool still_red(int slot) {
        RECT r = slot_rect(slot);
        return pixel(int(r.left), int(r.top)) == RGB(255, 0, 0);
    }
};

TEST_F(FaceOnLarge, ATickDrawsTheColonAndOnlyTheDigitsThatChanged) {
    settings([] { Settings.TwentyFourHourTime = 1; });
    freeze_at(10, 59, 10);
    start();
    mark_slots_red();
    tick_timer();  // the same minute: only the colon blinks
    EXPECT_EQ(mismatches(slot_rect(SLOT_COLON), 216), 0);
    for (int s : {SLOT_HOUR_TENS, SLOT_HOUR_UNITS, SLOT_MINUTE_TENS, SLOT_MINUTE_UNITS}) EXPECT_TRUE(still_red(s)) << s;
    freeze_at(11, 0, 10);
    tick_timer();
    EXPECT_EQ(mismatches(slot_rect(SLOT_COLON), 217), 0);
    EXPECT_TRUE(still_red(SLOT_HOUR_TENS));  // 1 before and after
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_UNITS), 206), 0);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_TENS), 205), 0);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), 205), 0);
}

// Every loaded image against its resource, with yellow turned to `colour`.
int tinted_mismatches(HBITMAP image, int id, COLORREF colour) {
    const BitmapResource *res = resources_find_bitmap(id);
    DIBSECTION dib;
    if (!res || GetObjectW(image, sizeof dib, &dib) != int(sizeof dib)) return -1;
    if (dib.dsBm.bmWidth != res->width || dib.dsBm.bmHeight != res->height) return -1;
    std::vector<unsigned char> pixels = bitmap_pixels(res);
    if (pixels.size() != size_t(res->width) * size_t(res->height) * 3) return -1;
    int wrong = 0;
    const auto *bits = static_cast<const unsigned char *>(dib.dsBm.bmBits);
    for (int y = 0; y < res->height; y++)
        for (int x = 0; x < res->width; x++) {
            const unsigned char *want = pixels.data() + (size_t(y) * size_t(res->width) + size_t(x)) * 3;
            COLORREF expected = RGB(want[0], want[1], want[2]) == YELLOW ? colour : RGB(want[0], want[1], want[2]);
            const unsigned char *got = bits + size_t(y) * size_t(dib.dsBm.bmWidthBytes) + size_t(x) * 3;
            wrong += RGB(got[2], got[1], got[0]) != expected;
        }
    return wrong;
}

TEST_F(FaceOnLarge, All47ImagesOfTheThreeLayoutsAreTintedAtLoad) {
    const int SELECTORS[LAYOUT_COUNT] = {LAYOUT_SMALL, LAYOUT_LARGE, LAYOUT_LANDSCAPE};
    const int HIDDEN[LAYOUT_COUNT] = {220, 216, 280}, BANNER[LAYOUT_COUNT] = {0, 200, 204};
    for (COLORREF colour : {YELLOW, WHITE}) {
        SCOPED_TRACE(colour == WHITE ? "white" : "yellow");
        settings([&] { Settings.Color = colour; });
        start();
        int loaded = 0;
        for (int i = 0; i < LAYOUT_COUNT; i++) {
            const LayoutImages &l = Images.layouts[i];
            int s = SELECTORS[i];
            std::vector<std::pair<HBITMAP, int>> all = {{l.blank, blank_id(s)}, {l.colon_shown, colon_id(s)},
                                                        {l.colon_hidden, HIDDEN[i]}, {l.am, am_id(s)},
                                                        {l.pm, pm_id(s)}};
            for (int d = 0; d < 10; d++) all.push_back({l.digits[d], digit_id(s, d)});
            if (BANNER[i]) all.push_back({l.banner, BANNER[i]});
            for (auto &[image, id] : all) {
                ASSERT_NE(image, nullptr) << id;
                EXPECT_EQ(tinted_mismatches(image, id, colour), 0) << id;
                loaded++;
            }
        }
        EXPECT_EQ(loaded, 47);
        stop();
        UnregisterClassW(L"Velmora", nullptr);
    }
}

TEST_F(FaceOnLarge, AStoredColourThatMakesNoSenseIsDrawnSensibly) {
    // Only the colour bytes count; black would vanish into the transparent key.
    const std::pair<DWORD, COLORREF> CASES[] = {{0xFF00FF00, RGB(0, 255, 0)}, {0, YELLOW}};
    for (auto [stored, drawn] : CASES) {
        settings([&] {
            Settings.Color = stored;
            Settings.TwentyFourHourTime = 1;
        });
        freeze_at(8, 8);
        start();
        EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_UNITS), 213, drawn), 0) << std::hex << stored;
        stop();
        UnregisterClassW(L"Velmora", nullptr);
    }
}

TEST_F(FaceOnLarge, ABitmapThatFailsToLoadLeavesTheBackgroundInItsPlace) {
    register_app_resources();
    // One without pixels, one whose runs end after a single pixel.
    static const unsigned char ONE_PIXEL[] = {0, 255, 255, 0};
    static const BitmapResource BROKEN[] = {{207, 40, 110, 24, ONE_PIXEL, 4}, {116, 200, 22, 24, nullptr, 0}};
    resources_add_bitmaps(BROKEN, 2);
    settings([] { Settings.TwentyFourHourTime = 0; });
    freeze_at(2, 22);
    start();
    EXPECT_EQ(Images.layouts[layout_index(LAYOUT_LARGE)].digits[2], nullptr);
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_UNITS), 0), 0);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), 0), 0);
    EXPECT_EQ(mismatches(am_pm_rect(), 0), 0);
    tick_timer();
    register_clock_bitmaps();  // the real images win again
}

TEST_F(FaceOnLarge, RotationRebuildsTheFaceOnceAndASizeMessageAloneChangesNothing) {
    settings([] { Settings.TwentyFourHourTime = 1; });
    freeze_at(9, 41);
    start();
    static int rebuilds;
    rebuilds = 0;
    static WNDPROC inner;
    inner = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(MainWindow.window, GWL_WNDPROC));
    SetWindowLongPtrW(MainWindow.window, GWL_WNDPROC,
                      reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                          HWND label = Labels.date_line.window;
                          HBITMAP background = Images.background;
                          LRESULT r = inner(w, m, wp, lp);
                          if (Labels.date_line.window != label && Images.background != background) rebuilds++;
                          return r;
                      }));
    plat::screen_rotate();
    pump();
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(MainWindow.screen_type, LAYOUT_LANDSCAPE);
    EXPECT_EQ(Layout.client_width, 320);
    EXPECT_EQ(Layout.face_left, 40);
    RECT label;
    GetWindowRect(Labels.date_line.window, &label);
    EXPECT_EQ(label.left, 40);
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_UNITS), 256), 0);  // landscape 9
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), 249), 0);
    SendMessageW(MainWindow.window, WM_SIZE, 0, MAKELONG(320, 186));
    SendMessageW(MainWindow.window, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    pump();
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(FaceOnLarge, AScreenNoLayoutWasMadeForStillShowsTheClock) {
    screen("220x176");  // the small screen turned: wider than high, narrower than the face
    settings([] { Settings.TwentyFourHourTime = 1; });
    freeze_at(12, 34);
    start();
    EXPECT_EQ(Layout.selector, LAYOUT_LANDSCAPE);
    EXPECT_EQ(Layout.face_left, -10);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), 252), 0);  // landscape 4, whole on the screen
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_TENS), 249), 0);     // landscape 1, at the left edge
    tick_timer();
}

TEST_F(FaceOnLarge, InternetTimeCountsBeatsFromMidnightInUtcPlusOne) {
    const struct {
        int hour, minute;
        int beats;
        const wchar_t *shown;
    } CASES[] = {{23, 0, 0, L"@000"}, {23, 30, 20, L"@020"}, {0, 0, 41, L"@041"}, {12, 0, 541, L"@541"}};
    for (auto c : CASES) {
        SYSTEMTIME utc = {};
        utc.wYear = 2030, utc.wMonth = 1, utc.wDay = 15, utc.wHour = WORD(c.hour), utc.wMinute = WORD(c.minute);
        clock_freeze_utc(clock_ms_from_systemtime(&utc));
        EXPECT_EQ(internet_time(), c.beats) << c.hour << ":" << c.minute;
        start();
        EXPECT_EQ(text_of(Labels.internet_time.window), c.shown);
        stop();
        UnregisterClassW(L"Velmora", nullptr);
    }
}

}  // namespace

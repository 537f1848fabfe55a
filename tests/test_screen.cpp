// The screen inside one program: windows composed in z-order, the popup menu
// of a soft key (grayed items drawn grayed and skipped, checked items
// marked), where keys go, the wait cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/phone.h"
#include "platform/shell/menu_internal.h"
#include "platform/screen/screen.h"
#include "tests/support/temp_device.h"

namespace {

constexpr UINT CMD_ONE = 2001, CMD_TWO = 2002, CMD_THREE = 2003, CMD_FOUR = 2004;
const MenuItemResource ITEMS[] = {
    {MF_STRING, CMD_ONE, L"One", nullptr, 0},
    {MF_STRING, CMD_TWO, L"Two", nullptr, 0},
    {MF_STRING, CMD_THREE, L"Three", nullptr, 0},
    {MF_STRING, CMD_FOUR, L"Four", nullptr, 0},
};
const MenuBarResource BARS[] = {{300, {{0, L"Menu", 0, MENU_ITEMS(ITEMS)}, {0, L"Quit", 9, nullptr, 0}}}};

std::vector<MSG> seen;

LRESULT recorder(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITMENUPOPUP) {
        EnableMenuItem(reinterpret_cast<HMENU>(wp), CMD_TWO, MF_BYCOMMAND | MF_GRAYED);
        CheckMenuItem(reinterpret_cast<HMENU>(wp), CMD_THREE, MF_BYCOMMAND | MF_CHECKED);
    }
    if (m == WM_COMMAND || m == WM_HOTKEY || m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR || m == WM_SETFOCUS ||
        m == WM_INITMENUPOPUP)
        seen.push_back({w, m, wp, lp, 0, {0, 0}});
    return DefWindowProcW(w, m, wp, lp);
}

class Screen : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        seen.clear();
        resources_add_menubars(BARS, 1);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = recorder;
        wc.lpszClassName = L"ScreenTest";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RegisterClassW(&wc);
        window = make_window(L"Main");
        SHMENUBARINFO mb = {};
        mb.cbSize = sizeof mb;
        mb.hwndParent = window;
        mb.nToolBarId = 300;
        ASSERT_TRUE(SHCreateMenuBar(&mb));
        bar = mb.hwndMB;
        settle();
    }
    void TearDown() override {
        plat::menu_close_all();
        if (IsWindow(window)) DestroyWindow(window);
        settle();
        TempDevice::TearDown();
    }
    HWND make_window(LPCWSTR title) {
        return CreateWindowExW(0, L"ScreenTest", title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    // Runs everything pending, then composes the frame.
    void settle() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
        plat::screen_present_now();
    }
    void key(int vk, wchar_t ch = 0) {
        plat::input_key(vk, ch);
        settle();
    }
    std::vector<UINT> commands() {
        std::vector<UINT> ids;
        for (const MSG &m : seen)
            if (m.message == WM_COMMAND) ids.push_back(LOWORD(m.wParam));
        return ids;
    }
    static void fill(HWND w, RECT r, COLORREF colour) {
        HDC dc = GetDC(w);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &r, brush);
        ReleaseDC(w, dc);
        DeleteObject(brush);
    }
    COLORREF frame(int x, int y) { return plat::surface_get(*plat::screen_frame(), x, y); }
    // The darkest channel of any pixel of the frame inside `r`.
    int darkest(RECT r) {
        int least = 255;
        for (LONG y = r.top; y < r.bottom; y++)
            for (LONG x = r.left; x < r.right; x++) {
                COLORREF c = frame(int(x), int(y));
                least = std::min({least, int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))});
            }
        return least;
    }
    // The frame as composed so far matches the frame composed afresh from
    // the same windows; `after` names the step for the failure message.
    void expect_as_if_composed_whole(const char *after) {
        const plat::Surface &f = *plat::screen_frame();
        std::vector<unsigned char> parts;
        for (int y = 0; y < f.height; y++) parts.insert(parts.end(), f.pixel(0, y), f.pixel(0, y) + f.width * 3);
        plat::screen_touch();
        plat::screen_compose();
        int differing = 0;
        for (int y = 0; y < f.height; y++)
            differing +=
                memcmp(f.pixel(0, y), parts.data() + size_t(y) * size_t(f.width) * 3, size_t(f.width) * 3) != 0;
        EXPECT_EQ(differing, 0) << "rows composed wrongly after " << after;
    }
    HWND window = nullptr, bar = nullptr;
};

TEST_F(Screen, ComposingWhatChangedShowsWhatComposingEverythingWould) {
    expect_as_if_composed_whole("start");
    fill(window, {5, 5, 15, 15}, RGB(255, 0, 0));
    settle();
    expect_as_if_composed_whole("a box drawn");
    HWND child = CreateWindowExW(0, L"ScreenTest", L"", WS_CHILD | WS_VISIBLE, 30, 30, 40, 20, window, nullptr, nullptr,
                                 nullptr);
    settle();
    fill(child, {0, 0, 40, 20}, RGB(0, 0, 255));
    settle();
    expect_as_if_composed_whole("a child drawn");
    SetWindowTextW(window, L"Renamed");
    settle();
    expect_as_if_composed_whole("a new title");
    key(VK_TSOFT1);
    ASSERT_TRUE(plat::menu_is_open());
    expect_as_if_composed_whole("a menu opened");
    plat::menu_close_all();
    settle();
    expect_as_if_composed_whole("a menu closed");
    HWND second = make_window(L"Second");
    SetWindowPos(second, nullptr, 20, 60, 100, 80, SWP_NOZORDER);
    fill(second, {0, 0, 100, 80}, RGB(0, 200, 0));
    settle();
    expect_as_if_composed_whole("a window moved over another");
    ShowWindow(second, SW_HIDE);
    fill(second, {0, 0, 10, 10}, RGB(200, 0, 200));  // hidden: not shown
    settle();
    expect_as_if_composed_whole("a window hidden");
    ShowWindow(second, SW_SHOW);
    settle();
    expect_as_if_composed_whole("a window shown again");
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    fill(window, {100, 120, 140, 160}, RGB(0, 255, 255));  // under the hourglass
    settle();
    expect_as_if_composed_whole("drawn under the wait cursor");
    SetCursor(old);
    settle();
    expect_as_if_composed_whole("the wait cursor gone");
    DestroyWindow(second);
    settle();
    expect_as_if_composed_whole("a window destroyed");
}

// A tick of the clock changes a digit: only that box is composed again.
TEST_F(Screen, ADrawingComposesOnlyItsOwnBox) {
    RECT work;
    plat::screen_work_area(&work);
    plat::Surface &f = *plat::screen_frame();
    unsigned char *marker = f.pixel(int(work.left) + 200, int(work.top) + 200);
    marker[0] = 1, marker[1] = 2, marker[2] = 3;
    EXPECT_FALSE(plat::screen_stale());
    fill(window, {0, 0, 10, 10}, RGB(0, 255, 0));
    EXPECT_TRUE(plat::screen_stale());
    settle();
    EXPECT_FALSE(plat::screen_stale());
    EXPECT_EQ(frame(int(work.left) + 5, int(work.top) + 5), RGB(0, 255, 0));
    EXPECT_EQ(frame(int(work.left) + 200, int(work.top) + 200), RGB(3, 2, 1));
    // Nothing outside the screen's own areas is lost: everything again when asked.
    plat::screen_touch();
    settle();
    EXPECT_EQ(frame(int(work.left) + 200, int(work.top) + 200), RGB(0, 0, 0));
}

TEST_F(Screen, GrayedItemIsDrawnGrayedAndCannotBeChosen) {
    key(VK_TSOFT1);
    ASSERT_TRUE(plat::menu_is_open());
    HWND popup = FindWindowW(L"menu_popup", nullptr);
    ASSERT_NE(popup, nullptr);
    RECT pr;
    GetWindowRect(popup, &pr);
    int row = int(pr.bottom - pr.top - 2) / 4;
    auto band = [&](int i, int from, int to) {
        return RECT{pr.left + from, pr.top + 1 + i * row, pr.left + to, pr.top + 1 + (i + 1) * row};
    };
    int width = int(pr.right - pr.left);
    // "Two" shows only grey ink; "Four" (not selected) shows black ink.
    int grey = darkest(band(1, 20, width - 2));
    EXPECT_GE(grey, 130);
    EXPECT_LE(grey, 170);
    EXPECT_LT(darkest(band(3, 20, width - 2)), 60);
    // "Three" carries a check mark in the mark column; "Four" does not.
    EXPECT_LT(darkest(band(2, 2, 18)), 100);
    EXPECT_EQ(darkest(band(3, 2, 18)), 255);
    // Its digit does nothing; moving down from "One" skips it.
    key(0, L'2');
    EXPECT_TRUE(plat::menu_is_open());
    key(VK_DOWN);
    key(VK_RETURN);
    EXPECT_FALSE(plat::menu_is_open());
    EXPECT_EQ(commands(), (std::vector<UINT>{CMD_THREE}));
    EXPECT_EQ(GetMenuState(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0)), CMD_TWO, MF_BYCOMMAND) &
                  MF_GRAYED,
              UINT(MF_GRAYED));
}

TEST_F(Screen, AWindowComingToTheFrontClosesTheMenuAndTakesTheKeys) {
    key(VK_TSOFT1);
    ASSERT_TRUE(plat::menu_is_open());
    HWND box = make_window(L"Box");
    EXPECT_FALSE(plat::menu_is_open());
    seen.clear();
    key(VK_DOWN);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].hwnd, box);
    EXPECT_EQ(seen[0].message, UINT(WM_KEYDOWN));
    DestroyWindow(box);
}

TEST_F(Screen, CommandKeySendsItsCommandUnlessDisabled) {
    key(VK_TSOFT2);
    EXPECT_EQ(commands(), (std::vector<UINT>{9}));
    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 9, MAKELONG(FALSE, 0)));
    key(VK_TSOFT2);
    EXPECT_EQ(commands().size(), 1u);
}

TEST_F(Screen, KeysGoToTheFocusWindowAndBackArrivesAsAHotKey) {
    HWND child = CreateWindowExW(0, L"ScreenTest", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window,
                                 reinterpret_cast<HMENU>(3), nullptr, nullptr);
    EXPECT_EQ(GetFocus(), window);
    SetFocus(child);
    seen.clear();
    key(VK_DOWN);
    key('7', L'7');
    key(VK_TBACK);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].hwnd, child);
    EXPECT_EQ(seen[0].wParam, WPARAM(VK_DOWN));
    EXPECT_EQ(seen[3].message, UINT(WM_CHAR));
    EXPECT_EQ(seen[3].wParam, WPARAM(L'7'));
    EXPECT_EQ(seen[5].hwnd, window);
    EXPECT_EQ(seen[5].message, UINT(WM_HOTKEY));
    EXPECT_EQ(HIWORD(seen[5].lParam), VK_TBACK);
    // Handed on, Back reaches the focus window as a key press.
    seen.clear();
    SHSendBackToFocusWindow(WM_HOTKEY, 0, MAKELONG(0, VK_TBACK));
    settle();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].hwnd, child);
    EXPECT_EQ(seen[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(seen[0].wParam, WPARAM(VK_TBACK));
}

TEST_F(Screen, AWindowBelowAnotherDoesNotDrawOverIt) {
    HWND above = make_window(L"Above");
    settle();
    EXPECT_EQ(GetForegroundWindow(), above);
    fill(window, {0, 0, 100, 100}, RGB(255, 0, 0));
    plat::screen_present_now();
    RECT work;
    plat::screen_work_area(&work);
    EXPECT_EQ(frame(int(work.left) + 10, int(work.top) + 10), RGB(0, 0, 0));
    DestroyWindow(above);
    settle();
    EXPECT_EQ(GetForegroundWindow(), window);  // not the soft-key bar
}

TEST_F(Screen, ChildDrawingStaysInsideItsParent) {
    HWND child = CreateWindowExW(0, L"ScreenTest", L"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, window, nullptr,
                                 nullptr, nullptr);
    HWND grandchild = CreateWindowExW(0, L"ScreenTest", L"", WS_CHILD | WS_VISIBLE, 40, 0, 30, 20, child, nullptr,
                                      nullptr, nullptr);
    settle();
    fill(grandchild, {0, 0, 30, 20}, RGB(0, 255, 0));
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 55, 15), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 65, 15), RGB(0, 0, 0));  // past the child's edge
    ReleaseDC(window, dc);
}

TEST_F(Screen, WaitCursorShowsAnHourglassUntilRestored) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    COLORREF before = frame(w / 2, h / 2 - 13);
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // Shown at once, before any message is handled.
    EXPECT_EQ(frame(w / 2, h / 2 - 13), RGB(0, 0, 0));
    EXPECT_NE(frame(w / 2, h / 2 + 8), before);
    SetCursor(old);
    EXPECT_EQ(frame(w / 2, h / 2 + 8), before);
}

TEST_F(Screen, MissingMenuBarAndWindowDestroyedWhilePaintingAreHarmless) {
    SHMENUBARINFO mb = {};
    mb.cbSize = sizeof mb;
    mb.hwndParent = window;
    mb.nToolBarId = 4242;
    EXPECT_FALSE(SHCreateMenuBar(&mb));
    EXPECT_EQ(mb.hwndMB, nullptr);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    DestroyWindow(window);
    RECT r = {0, 0, 10, 10};
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_TRUE(EndPaint(window, &ps));
    EXPECT_EQ(GetDC(window), nullptr);
    settle();
}

}  // namespace

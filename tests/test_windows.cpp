// The window system inside one process: creation and destruction, the
// queue's order, painting merged into one message, timers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/device/device.h"
#include "platform/shell/message_box_testing.h"
#include "platform/phone.h"
#include "tests/support/temp_device.h"

namespace {

std::vector<UINT> seen;
int paints = 0;
long long offset_seen = -1;  // the device clock offset the window last read

LRESULT recording_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        paints++;
        ValidateRect(w, nullptr);
        return 0;
    }
    if (m >= WM_APP || m == WM_TIMER) seen.push_back(m == WM_TIMER ? UINT(WM_TIMER + wp) : m);
    if (m == WM_APP + 9) DestroyWindow(w);  // destroyed inside its own message
    if (m == WM_APP + 20) offset_seen = device_settings()->clock_offset;  // as a tick reads the clock
    if (m == WM_TIMER && wp == 3) KillTimer(w, 3);
    return DefWindowProcW(w, m, wp, lp);
}

class Windows : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        seen.clear();
        paints = 0;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = recording_proc;
        wc.lpszClassName = L"Rec";
        RegisterClassW(&wc);  // stays registered for the whole test program
        window = CreateWindowExW(0, L"rec", L"Recorder", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        drain();
        TempDevice::TearDown();
    }
    // Dispatches everything pending without waiting.
    void drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
    }
    HWND window = nullptr;
};

TEST_F(Windows, FindsByClassWithoutCaseAndTitleExactly) {
    EXPECT_EQ(FindWindowW(L"REC", L"Recorder"), window);
    EXPECT_EQ(FindWindowW(L"Rec", nullptr), window);
    EXPECT_EQ(FindWindowW(L"Rec", L"recorder"), nullptr);
    RECT r;
    ASSERT_TRUE(GetClientRect(window, &r));
    EXPECT_EQ(r.right, 240);  // a default-size window fills the work area
}

TEST_F(Windows, PostedMessagesArriveInOrderAndPaintingIsMerged) {
    drain();
    paints = 0;
    PostMessageW(window, WM_APP + 1, 0, 0);
    InvalidateRect(window, nullptr, TRUE);
    PostMessageW(window, WM_APP + 2, 0, 0);
    RECT part = {0, 0, 5, 5};
    InvalidateRect(window, &part, FALSE);
    drain();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
    EXPECT_EQ(paints, 1);
}

TEST_F(Windows, DestroyedInsideItsOwnMessageIsGoneAndDropsItsQueue) {
    PostMessageW(window, WM_APP + 9, 0, 0);
    PostMessageW(window, WM_APP + 3, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP + 100, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessageW(window, WM_APP + 4, 0, 0));
    EXPECT_EQ(SendMessageW(window, WM_APP + 5, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(window) == FALSE);
    drain();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_APP + 9}));
}

TEST_F(Windows, TimersFireAndMayBeKilledInTheirOwnMessage) {
    ASSERT_EQ(SetTimer(window, 3, 20, nullptr), 3u);
    ASSERT_EQ(SetTimer(window, 4, 20, nullptr), 4u);
    MSG msg;
    int timer_messages = 0;
    while (timer_messages < 3 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) timer_messages++;
        DispatchMessageW(&msg);
    }
    // Timer 3 killed itself on its first tick; timer 4 goes on.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_TIMER + 3)), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_TIMER + 4)), 2);
    EXPECT_TRUE(KillTimer(window, 4));
    EXPECT_FALSE(KillTimer(window, 4));
}

// Writes the settings file as another program of the device would: whole,
// renamed into place, without this process reading it.
void write_as_another_program(const std::string &path, long long offset) {
    DeviceSettings ds;
    device_default_settings(&ds);
    ds.clock_offset = offset;
    std::string temp = path + ".other";
    FILE *f = fopen(temp.c_str(), "w");
    ASSERT_NE(f, nullptr);
    device_write_settings(&ds, f);
    fclose(f);
    ASSERT_EQ(rename(temp.c_str(), path.c_str()), 0);
}

// The loop looks at the settings file once per wake-up; what changed before
// the message that woke it is what the message sees.
TEST_F(Windows, AMessageSeesTheSettingsWrittenBeforeItCame) {
    std::string conf = host("device.conf");
    MSG msg;
    // The loop waits, then wakes for the message.
    std::thread late([&] {
        usleep(20000);
        PostMessageW(window, WM_APP + 20, 0, 0);
    });
    drain();
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_APP + 20));
    DispatchMessageW(&msg);
    late.join();
    EXPECT_EQ(offset_seen, 0);
    // Written and posted while the loop is busy: the next look at the queue finds it.
    std::thread([&] {
        write_as_another_program(conf, 3600);
        PostMessageW(window, WM_APP + 20, 0, 0);
    }).join();
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, UINT(WM_APP + 20));
    DispatchMessageW(&msg);
    EXPECT_EQ(offset_seen, 3600);
    // The loop's thread sees its own write at once; other threads see every
    // write while it is busy.
    DeviceSettings ds = *device_settings();
    ds.clock_offset = 60;
    ASSERT_TRUE(device_save_settings(&ds));
    EXPECT_EQ(device_settings()->clock_offset, 60);
    write_as_another_program(conf, 90);
    std::thread([] { EXPECT_EQ(device_settings()->clock_offset, 90); }).join();
    // Once the loop has nothing left, its next read looks again.
    write_as_another_program(conf, 120);
    drain();
    EXPECT_EQ(device_settings()->clock_offset, 120);
}

TEST_F(Windows, QuitEndsTheLoopWithItsCode) {
    PostMessageW(window, WM_APP + 1, 0, 0);
    PostQuitMessage(42);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(Windows, ChildrenAreFoundByIdAndDieWithTheirParent) {
    HWND child = CreateWindowExW(0, L"Rec", L"", WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, window,
                                 reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgItem(window, 1001), child);
    EXPECT_EQ(GetDlgCtrlID(child), 1001);
    EXPECT_EQ(GetDlgItem(window, 1002), nullptr);
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(child));
}

}  // namespace

namespace {

int presented = 0;
std::wstring presented_text;

int fake_presenter(HWND, LPCWSTR text, LPCWSTR, UINT) {
    presented++;
    presented_text = text;
    return IDCANCEL;
}

using MessageBoxThreads = TempDevice;

// A box raised on another thread must not wait for the screen's thread; it
// is shown there once that thread is idle.
TEST_F(MessageBoxThreads, ABoxFromAnotherThreadIsShownLaterByTheScreensThread) {
    message_box_set_headless(false);
    message_box_set_presenter(fake_presenter);
    presented = 0;
    int answer = 0;
    std::thread other([&answer] { answer = MessageBoxW(nullptr, L"Unable to play sound!", L"Error", MB_OKCANCEL); });
    other.join();
    EXPECT_EQ(answer, IDOK);  // the default button, at once
    EXPECT_EQ(presented, 0);
    SetTimer(nullptr, 0, 30, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageW(&msg);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(presented_text, L"Unable to play sound!");
    EXPECT_EQ(MessageBoxW(nullptr, L"here", L"Velmora", MB_OKCANCEL), IDCANCEL);  // the screen's own thread waits
    message_box_set_presenter(nullptr);
    message_box_set_headless(true);
}

// Queued answers are taken in order and only once, even where a screen would
// show the box; then the default button answers again.
TEST_F(MessageBoxThreads, QueuedAnswersComeFirstInOrderThenTheDefault) {
    message_box_set_headless(false);
    message_box_set_presenter(fake_presenter);
    presented = 0;
    message_box_queue_answer(IDNO);
    message_box_queue_answer(IDYES);
    EXPECT_EQ(MessageBoxW(nullptr, L"first", L"Velmora", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"second", L"Velmora", MB_YESNO), IDYES);
    EXPECT_EQ(presented, 0);
    message_box_set_headless(true);
    EXPECT_EQ(MessageBoxW(nullptr, L"third", L"Velmora", MB_YESNO | MB_DEFBUTTON2), IDNO);
    message_box_set_presenter(nullptr);
}

}  // namespace

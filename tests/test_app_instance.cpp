// One clock per device, with real processes: a second start hands its event
// to the running one and ends with 1; the running one ends cleanly when the
// host asks, saving its settings.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/phone.h"
#include "store/settings.h"
#include "tests/support/registry_values.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

std::vector<MSG> received;

LRESULT stand_in_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= WM_APP || m == WM_ACTIVATE) received.push_back({w, m, wp, lp, 0, {0, 0}});
    return DefWindowProcW(w, m, wp, lp);
}

class SingleInstance : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        received.clear();
    }
    std::vector<std::string> env() {
        return {"VELMORA_DEVICE=" + root, "VELMORA_SCREEN=headless", "VELMORA_NOTIFYD=off", "VELMORA_MSGBOX=headless"};
    }
    void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // Runs Velmora to its end while this process answers as a window would.
    int run_clock(const std::vector<std::string> &args) {
        std::vector<std::string> argv = {VELMORA_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        pid_t pid = start_program(argv, env());
        int status = 0;
        for (time_t end = time(nullptr) + 30; time(nullptr) < end;) {
            pump();
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pump();
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(2000);
        }
        stop_program(pid);
        return -2;
    }
    HWND stand_in() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = stand_in_proc;
        wc.lpszClassName = L"Velmora";
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"Velmora", L"Velmora", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    int count(UINT message) {
        int n = 0;
        for (const MSG &m : received) n += m.message == message;
        return n;
    }
};

TEST_F(SingleInstance, ASecondStartBringsTheFirstToTheFrontAndHandsOverItsEvent) {
    HWND first = stand_in();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(run_clock({}), 1);
    EXPECT_EQ(count(WM_ACTIVATE), 1);
    EXPECT_EQ(count(MSG_EVENT), 0);  // nothing posted without an event

    received.clear();
    EXPECT_EQ(run_clock({"/ID:3"}), 1);
    ASSERT_EQ(count(MSG_EVENT), 1);
    for (const MSG &m : received) {
        if (m.message != MSG_EVENT) continue;
        EXPECT_EQ(m.wParam, 3u);
        EXPECT_EQ(m.lParam, 0);
    }
    DestroyWindow(first);
    UnregisterClassW(L"Velmora", nullptr);
}

TEST_F(SingleInstance, TheRunningClockStaysAloneAndEndsCleanlyWhenAsked) {
    pid_t clock = start_program({VELMORA_PROGRAM}, env());
    HWND found = nullptr;
    for (int i = 0; i < 3000 && !found; i++) {  // up to 30 s on a loaded machine
        found = FindWindowW(L"Velmora", L"Velmora");
        if (!found) usleep(10000);
    }
    ASSERT_NE(found, nullptr) << "the clock's window never appeared";
    EXPECT_EQ(run_clock({"/ID:3"}), 1);
    EXPECT_EQ(run_clock({}), 1);
    EXPECT_EQ(waitpid(clock, nullptr, WNOHANG), 0) << "the first clock ended";
    EXPECT_EQ(stored_size(SETTINGS_KEY, L"Color"), 0u);  // not saved while it runs
    EXPECT_EQ(stop_program(clock), 0);
    EXPECT_NE(stored_size(SETTINGS_KEY, L"Color"), 0u);  // saved at the end
}

}  // namespace

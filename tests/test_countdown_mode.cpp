// The countdown from the clock's menu, in-process on a frozen Tuesday
// 2030-01-15 10:00:10: the Countdown dialog (what it offers, stores and
// refuses, its Test), the request it arms, the face in the Countdown mode
// and Cancel Countdown.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/window_modes.h"
#include "dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "resources/ringing_resources.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/audio_files.h"
#include "tests/support/dialog_script.h"
#include "tests/support/heard_output.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

constexpr double COUNTDOWN_HZ = 660;
constexpr int LARGE_BANNER = 200;

class Countdown : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        setenv("VELMORA_AUDIO", "null", 1);
        plat::screen_ensure();
        recorder = std::make_unique<BoxRecorder>();
    }
    void TearDown() override {
        AppWindow::TearDown();
        recorder.reset();
        unsetenv("VELMORA_AUDIO");
    }
    // Start Countdown with `steps` run in the dialog and after it.
    void start_countdown_with(std::vector<DialogStep> steps) {
        script_dialogs(std::move(steps));
        SendMessageW(MainWindow.window, WM_COMMAND, IDM_START_COUNTDOWN, 0);
        pump();
        EXPECT_TRUE(script_done()) << "the dialog never reached every step";
    }
    DWORD stored(const wchar_t *name) {
        DWORD value = 0xDEAD;
        get_dword(SETTINGS_KEY, name, &value);
        return value;
    }
    std::vector<SeenBox> &boxes() { return recorder->boxes; }
    std::unique_ptr<BoxRecorder> recorder;
};

std::wstring item_text(HWND dialog, int id) {
    WCHAR text[MAX_PATH] = L"";
    GetDlgItemTextW(dialog, id, text, MAX_PATH);
    return text;
}

std::wstring spinner(HWND d) {
    return item_text(d, IDC_HOURS) + L":" + item_text(d, IDC_TENS) + item_text(d, IDC_UNITS);
}

void set_spinner(HWND d, const wchar_t *hours, const wchar_t *tens, const wchar_t *units) {
    SetDlgItemTextW(d, IDC_HOURS, hours);
    SetDlgItemTextW(d, IDC_TENS, tens);
    SetDlgItemTextW(d, IDC_UNITS, units);
}

TEST_F(Countdown, EveryOpeningOffersHalfAnHourWithTheStoredSoundAndKeepAwake) {
    settings([] {
        Settings.CountdownTime = 5;
        Settings.CountdownKeepAwake = 1;
        swprintf(Settings.CountdownSound, MAX_PATH, L"%ls",
                 L"\\My Documents\\Kitchen\\A kitchen timer with a name far too long for the line.wav");
    });
    start();
    std::wstring offered, line;
    bool keep_awake = false;
    start_countdown_with({in_dialog(L"Countdown", [&](HWND d) {
        offered = spinner(d);
        line = item_text(d, IDC_COUNTDOWN_SOUND);
        keep_awake = IsDlgButtonChecked(d, IDC_KEEP_AWAKE) == BST_CHECKED;
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    EXPECT_EQ(offered, L"0:30") << "the stored five minutes are not offered";
    ASSERT_GT(line.size(), 3u);
    EXPECT_EQ(line.substr(line.size() - 3), L"...");
    EXPECT_EQ(line.rfind(L"A kitchen timer", 0), 0u);
    EXPECT_TRUE(keep_awake);

    settings([] { Settings.CountdownSound[0] = L'\0'; });
    load_settings();
    start_countdown_with({in_dialog(L"Countdown", [&](HWND d) {
        line = item_text(d, IDC_COUNTDOWN_SOUND);
        SendMessageW(d, WM_COMMAND, IDOK, 0);  // the other command that leaves
    })});
    EXPECT_EQ(line, L"<default sound>");
    EXPECT_TRUE(stored_requests().empty()) << "leaving the dialog starts nothing";
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

TEST_F(Countdown, ZeroIsRefusedAndOneMinuteArmsTheCountdownAndShowsIt) {
    settings([] { Settings.CountdownKeepAwake = 1; });
    start();
    std::wstring still;
    start_countdown_with({in_dialog(L"Countdown",
                                    [](HWND d) {
                                        set_spinner(d, L"0", L"0", L"0");
                                        SendMessageW(d, WM_COMMAND, IDC_START, 0);
                                    }),
                          in_dialog(L"Countdown", [&](HWND d) {
                              still = spinner(d);
                              SendMessageW(GetDlgItem(d, IDC_KEEP_AWAKE), BM_CLICK, 0, 0);
                              set_spinner(d, L"0", L"0", L"1");
                              SendMessageW(d, WM_COMMAND, IDC_START, 0);
                          })});
    EXPECT_EQ(still, L"0:00") << "the dialog stayed open";
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"The countdown time must be greater than zero");
    EXPECT_EQ(boxes()[0].caption, L"Error");
    EXPECT_EQ(boxes()[0].type & MB_ICONMASK, 0u);
    EXPECT_EQ(boxes()[0].owner, nullptr);

    ASSERT_EQ(MainWindow.mode, MODE_COUNTDOWN);
    std::vector<SeenRequest> requests = stored_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].arguments, L"/ID:254");
    EXPECT_EQ(stamp(requests[0].start), "2030-01-15 10:01:10.000");
    EXPECT_EQ(stored(L"Countdown"), 1u);
    EXPECT_EQ(stored(L"CountdownTime"), 1u);
    EXPECT_EQ(stored(L"CountdownKeepAwake"), 0u);
    EXPECT_EQ(stored(L"CountdownHandle"), requests[0].handle);
    tick_timer();
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_TENS), digit_id(LAYOUT_LARGE, 0)), 0) << "the face shows 00:01";
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), digit_id(LAYOUT_LARGE, 1)), 0);
    EXPECT_EQ(mismatches(banner_rect(), LARGE_BANNER), 0) << "with the banner";

    SendMessageW(MainWindow.window, WM_COMMAND, IDM_CANCEL_COUNTDOWN, 0);
    pump();
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_TRUE(stored_requests().empty()) << "no countdown event follows";
    EXPECT_EQ(stored(L"Countdown"), 0u);
    EXPECT_EQ(mismatches(banner_rect(), 0), 0) << "the banner went with it";
}

TEST_F(Countdown, TheLongestIs23Hours59) {
    start();
    start_countdown_with({in_dialog(L"Countdown", [](HWND d) {
        SendMessageW(GetDlgItem(d, IDC_HOURS_DOWN), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(d, IDC_TENS_UP), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(d, IDC_TENS_UP), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(d, IDC_UNITS_DOWN), BM_CLICK, 0, 0);
        SendMessageW(d, WM_COMMAND, IDC_START, 0);
    })});
    EXPECT_EQ(Settings.CountdownTime, 1439u);
    ASSERT_EQ(stored_requests().size(), 1u);
    EXPECT_EQ(stamp(stored_requests()[0].start), "2030-01-16 09:59:10.000");
    tick_timer();
    // 23 h 59 min 59 s are left: 23:59.
    EXPECT_EQ(mismatches(slot_rect(SLOT_HOUR_TENS), digit_id(LAYOUT_LARGE, 2)), 0);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), digit_id(LAYOUT_LARGE, 9)), 0);
}

TEST_F(Countdown, CancelStartsNothingButABrowsedSoundIsKept) {
    ASSERT_TRUE(write_wav_tone(host_with_folders("My Documents/Gong.wav"), 0.3, 500));
    start();
    std::wstring line;
    start_countdown_with(
        {click(L"Countdown", IDC_BROWSE), press(L"Select Sound", IDC_SELECT), in_dialog(L"Countdown", [&](HWND d) {
             line = item_text(d, IDC_COUNTDOWN_SOUND);
             SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
         })});
    EXPECT_EQ(line, L"Gong.wav");
    EXPECT_STREQ(Settings.CountdownSound, L"\\My Documents\\Gong.wav");
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_TRUE(stored_requests().empty());
    stop();
    std::wstring saved;
    get_text(SETTINGS_KEY, L"CountdownSound", &saved);
    EXPECT_EQ(saved, L"\\My Documents\\Gong.wav") << "it reaches the registry with the next save";
}

TEST_F(Countdown, TestRingsTheBuiltInSoundOverTheDialogAndComesBack) {
    ASSERT_TRUE(write_wav_tone(host_with_folders("IPSM/Program Files/Velmora/sounds/CBuzzer.wav"), 3.0, COUNTDOWN_HZ));
    listen_to_output(true);
    start();
    double heard = 0;
    std::wstring back;
    start_countdown_with({click(L"Countdown", IDC_TEST),
                          in_dialog(L"Alarm",
                                    [&](HWND d) {
                                        heard = pitch_heard();
                                        SendMessageW(d, WM_COMMAND, IDC_RING_STOP, 0);
                                    }),
                          in_dialog(L"Countdown", [&](HWND d) {
                              back = spinner(d);
                              SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                          })});
    listen_to_output(false);
    EXPECT_NEAR(heard, COUNTDOWN_HZ, COUNTDOWN_HZ * 0.05);
    EXPECT_EQ(back, L"0:30");
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK) << "a test rings no countdown";
    EXPECT_TRUE(stored_requests().empty());
}

// A request the platform refuses would never ring: its box is shown and the
// clock stays as it was.
TEST_F(Countdown, ARefusedRequestLeavesThePlainClock) {
    start();
    swprintf(Folders.AppDataFolder, MAX_PATH, L"X:");
    start_countdown_with({press(L"Countdown", IDC_START)});
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"Failed to set alarm!");
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_EQ(Settings.Countdown, 0u);
    EXPECT_NE(stored(L"Countdown"), 1u);
}

}  // namespace

// The settings dialogs opened by the clock's menu commands, in-process on a
// frozen Tuesday 2030-01-15 10:00: what each shows, what each stores, when
// it reaches the registry and the notification database, and their messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>

#include "app/status_labels.h"
#include "dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/dialog_script.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

const wchar_t ALARM_2[] = L"Software\\Tamsett\\Velmora\\Alarms\\2";

class SettingsDialogs : public AppWindow {
protected:
    void command(UINT id) {
        SendMessageW(MainWindow.window, WM_COMMAND, id, 0);
        pump();
        EXPECT_TRUE(script_done()) << "the dialog never reached every step";
    }
    std::wstring item_text(HWND dialog, int id) {
        WCHAR text[MAX_PATH] = L"";
        GetDlgItemTextW(dialog, id, text, MAX_PATH);
        return text;
    }
    std::wstring digits(HWND d) {
        return item_text(d, IDC_HOURS) + L":" + item_text(d, IDC_TENS) + item_text(d, IDC_UNITS);
    }
    DWORD stored(const wchar_t *key, const wchar_t *name) {
        DWORD value = 0xDEAD;
        get_dword(key, name, &value);
        return value;
    }
    void sound_file(const char *device_path) {
        std::string path = host(device_path);
        mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        std::ofstream(path) << "x";
    }
    void SetUp() override {
        AppWindow::SetUp();
        // The screen takes the boxes when it starts; the recorder takes them from it.
        plat::screen_ensure();
        recorder = std::make_unique<BoxRecorder>();
    }
    void TearDown() override {
        AppWindow::TearDown();
        recorder.reset();
    }
    std::vector<SeenBox> &boxes() { return recorder->boxes; }
    std::unique_ptr<BoxRecorder> recorder;
};

void click_in(HWND d, int id) { SendMessageW(GetDlgItem(d, id), BM_CLICK, 0, 0); }

TEST_F(SettingsDialogs, SnoozeSpinnerShowsCapsAndTurnsOneDigitWithoutCarry) {
    settings([] { Settings.SnoozeTime = 2000; });
    start();
    std::wstring shown, after_tens_up, after_hours_down;
    script_dialogs({in_dialog(L"Set Snooze", [&](HWND d) {
        shown = digits(d);
        SetDlgItemTextW(d, IDC_HOURS, L"0");
        SetDlgItemTextW(d, IDC_TENS, L"5");
        click_in(d, IDC_TENS_UP);
        after_tens_up = digits(d);
        click_in(d, IDC_HOURS_DOWN);
        click_in(d, IDC_UNITS_DOWN);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_UNITS_UP, 1), 0);  // not a click: ignored
        after_hours_down = digits(d);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    command(IDM_SET_SNOOZE);
    EXPECT_EQ(shown, L"23:20") << "2000 minutes: the hours held at 23, the minutes 2000 mod 60";
    EXPECT_EQ(after_tens_up, L"0:00");
    EXPECT_EQ(after_hours_down, L"23:09");
    EXPECT_EQ(Settings.SnoozeTime, 2000u) << "Cancel changes nothing";
    EXPECT_EQ(stored(SETTINGS_KEY, L"SnoozeTime"), 2000u);
}

TEST_F(SettingsDialogs, SnoozeOfZeroBecomesFiveWithTheMessageAndTheLargestIs1439) {
    start();
    script_dialogs({in_dialog(L"Set Snooze", [](HWND d) {
        for (int id : {IDC_HOURS, IDC_TENS, IDC_UNITS}) SetDlgItemTextW(d, id, L"0");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    command(IDM_SET_SNOOZE);
    EXPECT_EQ(stored(SETTINGS_KEY, L"SnoozeTime"), 5u);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, L"Set Snooze Time");
    EXPECT_EQ(boxes()[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));

    script_dialogs({in_dialog(L"Set Snooze", [](HWND d) {
        click_in(d, IDC_HOURS_DOWN);
        click_in(d, IDC_TENS_DOWN);
        for (int i = 0; i < 6; i++) click_in(d, IDC_UNITS_DOWN);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    command(IDM_SET_SNOOZE);
    EXPECT_EQ(stored(SETTINGS_KEY, L"SnoozeTime"), 1439u);
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(SettingsDialogs, MaxTimeNotInTheListOpensWithOneAndOkStoresIt) {
    settings([] { Settings.MaxTime = 7; });
    start();
    std::wstring shown;
    script_dialogs({in_dialog(L"Settings", [&](HWND d) {
        shown = item_text(d, IDC_MAX_TIME);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    command(IDM_GENERAL_SETTINGS);
    EXPECT_EQ(shown, L"1");
    EXPECT_EQ(stored(SETTINGS_KEY, L"MaxTime"), 1u);

    settings([] { Settings.MaxTime = 15; });
    load_settings();
    script_dialogs({in_dialog(L"Settings", [&](HWND d) {
        shown = item_text(d, IDC_MAX_TIME);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    command(IDM_GENERAL_SETTINGS);
    EXPECT_EQ(shown, L"15");
}

TEST_F(SettingsDialogs, TwentyFourHourDisplayAndInternetTimeChangeTheFaceAtOnceAfterOk) {
    freeze_at(9, 5);
    settings([] { Settings.TwentyFourHourTime = 0, Settings.ShowITime = 1; });
    start();
    RECT tens = slot_rect(SLOT_HOUR_TENS);
    ASSERT_EQ(mismatches(tens, blank_id(LAYOUT_LARGE)), 0);
    script_dialogs({in_dialog(L"Settings", [](HWND d) {
        click_in(d, IDC_24_HOUR);
        click_in(d, IDC_SHOW_ITIME);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    command(IDM_GENERAL_SETTINGS);
    EXPECT_EQ(stored(SETTINGS_KEY, L"24HourTime"), 1u);
    EXPECT_EQ(stored(SETTINGS_KEY, L"ShowITime"), 0u);
    EXPECT_EQ(mismatches(tens, digit_id(LAYOUT_LARGE, 0)), 0) << "09:05 now shows its leading 0";
    EXPECT_EQ(Labels.internet_time.window, nullptr) << "the lines under the face were made anew";
}

TEST_F(SettingsDialogs, WhiteFromChooseColorRecoloursTheFaceAtOnceAndSurvivesACancelledSettings) {
    freeze_at(11, 11);
    start();
    script_dialogs({click(L"Settings", IDC_CHOOSE_COLOR), press(L"Choose Color", IDCANCEL),
                    click(L"Settings", IDC_CHOOSE_COLOR), click(L"Choose Color", IDC_LAST_SWATCH),
                    press(L"Settings", IDCANCEL)});
    command(IDM_GENERAL_SETTINGS);
    EXPECT_EQ(Settings.Color, RGB(255, 255, 255));
    EXPECT_NE(stored(SETTINGS_KEY, L"Color"), RGB(255, 255, 255)) << "the registry has it with the next save";
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), digit_id(LAYOUT_LARGE, 1), RGB(255, 255, 255)), 0);
}

TEST_F(SettingsDialogs, ChooseColorAnswersEachSwatchsColourAndZeroWhenLeft) {
    start();
    COLORREF chosen = 1;
    script_dialogs({press(L"Choose Color", IDCANCEL)});
    chosen = run_choose_color(MainWindow.window);
    EXPECT_EQ(chosen, 0u);
    script_dialogs({click(L"Choose Color", 1097)});
    EXPECT_EQ(run_choose_color(MainWindow.window), COLORREF(0x0050A600));
    HBRUSH brush = nullptr;
    script_dialogs({in_dialog(L"Choose Color", [&](HWND d) {
        HDC dc = GetDC(d);
        brush = reinterpret_cast<HBRUSH>(SendMessageW(d, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(GetDlgItem(d, 1104))));
        EXPECT_EQ(SetBkColor(dc, 0), COLORREF(0x00C8C8C8)) << "the swatch's colour as the background";
        ReleaseDC(d, dc);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    EXPECT_EQ(run_choose_color(MainWindow.window), 0u);
    EXPECT_NE(brush, nullptr) << "each swatch is painted with its own brush";
}

TEST_F(SettingsDialogs, ChimeOnRegistersOneSecondAfterTheNextHourAndABrowsedSoundOutlivesCancel) {
    sound_file("My Documents/Gong.wav");
    start();
    std::wstring line;
    script_dialogs({click(L"Hourly Chime", IDC_CHIME_ON), press(L"Hourly Chime", IDOK)});
    command(IDM_CHIME);
    std::vector<SeenRequest> requests = stored_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].arguments, L"/ID:255");
    EXPECT_EQ(stamp(requests[0].start), "2030-01-15 11:00:01.000");
    EXPECT_EQ(stored(SETTINGS_KEY, L"Chime"), 1u);
    EXPECT_EQ(stored(SETTINGS_KEY, L"ChimeHandle"), requests[0].handle);

    script_dialogs({click(L"Hourly Chime", IDC_CHIME_ON), click(L"Hourly Chime", IDC_BROWSE),
                    press(L"Select Sound", IDC_SELECT), in_dialog(L"Hourly Chime", [&](HWND d) {
                        line = item_text(d, IDC_CHIME_SOUND);
                        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                    })});
    command(IDM_CHIME);
    EXPECT_EQ(line, L"Gong.wav");
    EXPECT_STREQ(Settings.ChimeSound, L"\\My Documents\\Gong.wav");
    EXPECT_EQ(Settings.Chime, 1u) << "Cancel keeps the chime on";
    EXPECT_EQ(stored_requests().size(), 1u);
}

TEST_F(SettingsDialogs, ChimeTestWithoutAnySoundSaysSoAndLeavesTheLibraryClosed) {
    settings([] { swprintf(Settings.ChimeSound, MAX_PATH, L"%ls", L"\\My Documents\\gone.wav"); });
    start();
    std::wstring line;
    script_dialogs({in_dialog(L"Hourly Chime",
                              [&](HWND d) {
                                  line = item_text(d, IDC_CHIME_SOUND);
                                  click_in(d, IDC_TEST);
                              }),
                    press(L"Hourly Chime", IDCANCEL)});
    command(IDM_CHIME);
    EXPECT_EQ(line, L"gone.wav");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text,
              L"Can't find the chime sound file \\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav.  Please select a "
              L"valid sound file.");
    EXPECT_EQ(boxes()[0].owner, MainWindow.window);
    EXPECT_EQ(SoundPlayer.LibraryUsers, 0);
}

TEST_F(SettingsDialogs, AboutEndsWithTwoOnItsOneKey) {
    start();
    std::wstring version;
    script_dialogs({in_dialog(L"About", [&](HWND d) {
        version = item_text(d, IDC_STATIC);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    EXPECT_EQ(run_about(MainWindow.window), IDCANCEL);
    EXPECT_TRUE(script_done());
    EXPECT_EQ(version, L"Velmora Version 2.7.3");
}

}  // namespace

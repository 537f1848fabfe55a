// Set Alarm in-process on a frozen Tuesday 2030-01-15 10:00: what it shows
// of each alarm, what reaches the records, the registry and the notification
// database after OK and after Cancel, and its messages.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

#include "dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "sound/ringing.h"
#include "tests/support/app_window.h"
#include "tests/support/audio_files.h"
#include "tests/support/dialog_script.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

const wchar_t ALARM_2[] = L"Software\\Tamsett\\Velmora\\Alarms\\2";
const wchar_t ALARM_3[] = L"Software\\Tamsett\\Velmora\\Alarms\\3";

class SetAlarm : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        // The screen takes the boxes when it starts; the recorder takes them from it.
        plat::screen_ensure();
        recorder = std::make_unique<BoxRecorder>();
        file("IPSM/Program Files/Velmora/sounds/buzz.wav");
    }
    void TearDown() override {
        AppWindow::TearDown();
        recorder.reset();
    }
    void file(const std::string &device_path) {
        std::string path = host(device_path.c_str());
        for (size_t at = path.find('/', root.size() + 1); at != std::string::npos; at = path.find('/', at + 1))
            mkdir(path.substr(0, at).c_str(), 0755);
        std::ofstream(path) << "x";
    }
    void set_alarms(std::vector<DialogStep> steps) {
        script_dialogs(steps);
        SendMessageW(MainWindow.window, WM_COMMAND, IDM_SET_ALARMS, 0);
        pump();
        EXPECT_TRUE(script_done()) << "the dialog never reached every step";
    }
    std::vector<SeenBox> &boxes() { return recorder->boxes; }
    std::unique_ptr<BoxRecorder> recorder;
};

std::wstring text(HWND d, int id) {
    WCHAR out[MAX_PATH] = L"";
    GetDlgItemTextW(d, id, out, MAX_PATH);
    return out;
}

LRESULT send(HWND d, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendDlgItemMessageW(d, id, message, wparam, lparam);
}

// A spin list turned as the user turns it: the selection, then its notice.
void choose(HWND d, int id, int index) {
    send(d, id, LB_SETCURSEL, WPARAM(index));
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
}

void set_time(HWND d, int hour, int minute) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = WORD(hour), t.wMinute = WORD(minute);
    send(d, IDC_ALARM_TIME, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
}

std::string days(HWND d) {
    std::string out;
    for (int i = 0; i < 7; i++) out += send(d, IDC_DAYS_LIST, LB_GETSEL, WPARAM(i)) > 0 ? '1' : '0';
    return out;
}

TEST_F(SetAlarm, OkStoresTheAlarmOnScreenAndArmsItForItsNextDay) {
    file("My Documents/Wake.mp3");
    start();
    set_alarms({in_dialog(L"Set Alarm",
                          [](HWND d) {
                              choose(d, IDC_ALARM_LIST, 2);
                              SendMessageW(GetDlgItem(d, IDC_ALARM_ON), BM_CLICK, 0, 0);
                              SetDlgItemTextW(d, IDC_ALARM_NAME, L"Run");
                              set_time(d, 6, 45);
                              send(d, IDC_DAYS_LIST, LB_SETSEL, FALSE, 0);
                              send(d, IDC_DAYS_LIST, LB_SETSEL, FALSE, 6);
                              SendMessageW(GetDlgItem(d, IDC_BROWSE), BM_CLICK, 0, 0);
                          }),
                press(L"Select Sound", IDC_SELECT), press(L"Set Alarm", IDOK)});
    DWORD value = 0;
    std::wstring name, sound;
    ASSERT_TRUE(get_dword(ALARM_2, L"AlarmOn", &value));
    EXPECT_EQ(value, 1u);
    get_text(ALARM_2, L"AlarmName", &name);
    get_text(ALARM_2, L"AlarmSound", &sound);
    EXPECT_EQ(name, L"Run");
    EXPECT_EQ(sound, L"\\My Documents\\Wake.mp3");
    get_dword(ALARM_2, L"Days", &value);
    EXPECT_EQ(value, 62u) << "Monday to Friday";
    std::vector<SeenRequest> requests = stored_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].arguments, L"/ID:2");
    EXPECT_EQ(stamp(requests[0].start), "2030-01-16 06:45:00.000");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SetAlarm, OpensOnAlarmOneAndShowsEachAlarmsSoundByItsName) {
    put_text(L"Software\\Tamsett\\Velmora\\Alarms\\1", L"AlarmSound", L"\\My Documents\\Wake.mp3");
    put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\1", L"Days", 0x22);
    start();
    std::wstring first_sound, second_sound, shown_alarm;
    std::string second_days;
    set_alarms({in_dialog(L"Set Alarm", [&](HWND d) {
        first_sound = text(d, IDC_SOUND_NAME);
        choose(d, IDC_ALARM_LIST, 1);
        second_sound = text(d, IDC_SOUND_NAME);
        second_days = days(d);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    set_alarms({in_dialog(L"Set Alarm", [&](HWND d) {
        shown_alarm = std::to_wstring(send(d, IDC_ALARM_LIST, LB_GETCURSEL));
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    EXPECT_EQ(first_sound, L"<default>");
    EXPECT_EQ(second_sound, L"Wake.mp3");
    EXPECT_EQ(second_days, "0100010");
    EXPECT_EQ(shown_alarm, L"0") << "every opening starts at alarm 1";
}

TEST_F(SetAlarm, NoDaysBecomeEveryDayWithOneMessageOnSwitchingAndOnOk) {
    start();
    set_alarms({in_dialog(L"Set Alarm", [](HWND d) {
        send(d, IDC_DAYS_LIST, LB_SETSEL, FALSE, -1);
        choose(d, IDC_ALARM_LIST, 3);
        send(d, IDC_DAYS_LIST, LB_SETSEL, FALSE, -1);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0].text, L"No days were selected for alarm 1.  All days have been automatically selected");
    EXPECT_EQ(boxes()[1].text, L"No days were selected for alarm 4.  All days have been automatically selected");
    EXPECT_EQ(boxes()[1].caption, L"No Days Selected");
    DWORD days0 = 0, days3 = 0;
    get_dword(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"Days", &days0);
    get_dword(ALARM_3, L"Days", &days3);
    EXPECT_EQ(days0, 127u);
    EXPECT_EQ(days3, 127u);
}

TEST_F(SetAlarm, CancelLeavesSwitchedEditsInMemoryOnlyAndLongNamesAreCut) {
    start();
    std::wstring long_name(100, L'n');
    set_alarms({in_dialog(L"Set Alarm", [&](HWND d) {
        choose(d, IDC_ALARM_LIST, 2);
        SendMessageW(GetDlgItem(d, IDC_ALARM_ON), BM_CLICK, 0, 0);
        SetDlgItemTextW(d, IDC_ALARM_NAME, long_name.c_str());
        choose(d, IDC_ALARM_LIST, 3);
        SetDlgItemTextW(d, IDC_ALARM_NAME, L"lost");
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    EXPECT_EQ(alarm_record(2)->AlarmOn, 1u);
    EXPECT_EQ(std::wstring(alarm_record(2)->AlarmName), long_name.substr(0, 79));
    EXPECT_STREQ(alarm_record(3)->AlarmName, L"Untitled") << "the edits on screen at Cancel are dropped";
    EXPECT_FALSE(key_exists(ALARM_2));
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(MainWindow.SnoozePending, 0);
}

TEST_F(SetAlarm, TheVolumeSamplePlaysAtEachLevelAndTheDeviceVolumeComesBack) {
    SetWaveVolume(0x12341234);
    start();
    DWORD at_three = 0;
    set_alarms({in_dialog(L"Set Alarm", [&](HWND d) {
        choose(d, IDC_VOLUME_LIST, 2);
        at_three = GetWaveVolume();
        send(d, IDC_VOLUME_LIST, LB_SETCURSEL, WPARAM(-1));
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    })});
    EXPECT_EQ(at_three, DWORD(3 * 10 * 655.35));
    EXPECT_EQ(GetWaveVolume(), 0x12341234u);
    EXPECT_EQ(alarm_record(0)->Volume, 2u) << "no level chosen stores 2";
}

TEST_F(SetAlarm, MissingAlarmSoundsAreReportedAndTheDialogStillOpens) {
    remove_tree(host("IPSM/Program Files/Velmora/sounds"));
    start();
    bool opened = false;
    set_alarms({in_dialog(L"Set Alarm", [&](HWND d) {
        opened = true;
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    EXPECT_TRUE(opened);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"Can't find alarm sounds.  You should re-install this package.");
    EXPECT_EQ(boxes()[0].type & MB_ICONMASK, UINT(MB_ICONERROR));
}

TEST_F(SetAlarm, ASoundThatVanishedBeforeOkIsStillStored) {
    file("My Documents/Brief.wav");
    start();
    set_alarms(
        {click(L"Set Alarm", IDC_BROWSE), press(L"Select Sound", IDC_SELECT), in_dialog(L"Set Alarm", [this](HWND d) {
             unlink(host("My Documents/Brief.wav").c_str());
             SendMessageW(d, WM_COMMAND, IDOK, 0);
         })});
    std::wstring sound;
    get_text(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AlarmSound", &sound);
    EXPECT_EQ(sound, L"\\My Documents\\Brief.wav") << "the ringing falls back to the default sound when it is gone";
}

// Test rings the alarm as the screen shows it, under the name typed, before
// anything is saved; its Snooze arms nothing, and the test mark is gone
// once the ringing has returned.
TEST_F(SetAlarm, TestRingsTheAlarmOnScreenAndItsSnoozeArmsNothing) {
    ASSERT_TRUE(write_wav_tone(host("IPSM/Program Files/Velmora/sounds/buzz.wav"), 1.0, 440));
    start();
    int ringing = -1;
    BYTE marked = 0;
    set_alarms({in_dialog(L"Set Alarm",
                          [](HWND d) {
                              choose(d, IDC_ALARM_LIST, 3);
                              SetDlgItemTextW(d, IDC_ALARM_NAME, L"Tea");
                              SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_TEST, BN_CLICKED),
                                           reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_TEST)));
                          }),
                in_dialog(L"Tea",
                          [&](HWND d) {
                              ringing = RingingAlarmIndex;
                              marked = TestRing;
                              SendMessageW(d, WM_COMMAND, IDOK, 0);  // Snooze
                          }),
                press(L"Set Alarm", IDCANCEL)});
    EXPECT_EQ(ringing, 3);
    EXPECT_EQ(marked, 1);
    EXPECT_EQ(TestRing, 0);
    EXPECT_STREQ(alarm_record(3)->AlarmName, L"Tea") << "Test stores the screen into the alarm";
    EXPECT_FALSE(key_exists(ALARM_3)) << "nothing is saved by a test";
    EXPECT_TRUE(stored_requests().empty()) << "a test's Snooze arms no snooze";
    EXPECT_EQ(MainWindow.SnoozePending, 0);
}

}  // namespace

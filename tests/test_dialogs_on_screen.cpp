// The settings dialogs as a person meets them, through the device's screen
// and keys with velctl only: every dialog on the three screens (the shots
// land in $VELMORA_SHOTS when it is set), and the clock's own Set Alarms,
// from the menu to the registry, the notification database and the face.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/look.h"
#include "store/settings.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"
#include "tests/support/run_program.h"
#include "tests/support/screen_program.h"

namespace {

const wchar_t ALARM_2[] = L"Software\\Tamsett\\Velmora\\Alarms\\2";

class OnScreen : public ScreenProgram {
protected:
    void SetUp() override {
        ScreenProgram::SetUp();
        file("IPSM/Program Files/Velmora/sounds/buzz.wav");
        file("My Documents/Music/Jazz/Take Five.mp3");
        file("My Documents/Wake.wav");
        file("Storage Card/Ring.ogg");
        // Sleep shows a folder chosen before, cut to the line on the small screen.
        put_text(SETTINGS_KEY, L"SleepPath", L"\\My Documents\\Music\\Jazz for a long and quiet night");
        put_dword(SETTINGS_KEY, L"TimedSleep", 1);
    }
    void file(const std::string &device_path) {
        std::string path = host(device_path.c_str());
        for (size_t at = path.find('/', root.size() + 1); at != std::string::npos; at = path.find('/', at + 1))
            mkdir(path.substr(0, at).c_str(), 0755);
        std::ofstream(path) << "x";
    }
    void keys(std::vector<std::string> names) {
        names.insert(names.begin(), "key");
        ASSERT_EQ(velctl(names), 0);
    }
    std::string front() {
        std::string out;
        velctl({"dialog"}, &out);
        return out.substr(0, out.find('\n'));
    }
    // Waits until the window in front is `title`.
    bool showing(const std::string &title) {
        for (int i = 0; i < 300; i++) {
            if (front().rfind("window: \"" + title + "\"", 0) == 0) return true;
            usleep(10000);
        }
        return false;
    }
    void set_screen(int width, int height) {
        DeviceSettings ds = *device_settings();
        ds.screen_width = width;
        ds.screen_height = height;
        ASSERT_TRUE(device_save_settings(&ds));
    }
    void start_clock() {
        set_screen(240, 320);
        program = start_program({VELMORA_PROGRAM}, {"VELMORA_DEVICE=" + root, "VELMORA_SCREEN=headless",
                                                    "VELMORA_NOTIFYD=off", "VELMORA_AUDIO=null"});
        ASSERT_GT(program, 0);
        ASSERT_TRUE(showing("Velmora"));
    }
    // The Set Alarm steps of a person: alarm 3 on, named, at 06:45 on
    // Monday to Friday, with a sound from the documents folder.
    void edit_alarm_3() {
        keys({"soft2", "down", "action"});
        ASSERT_TRUE(showing("Set Alarm"));
        keys({"right", "right", "down", "action", "down"});
        keys(std::vector<std::string>(8, "back"));
        keys({"text", "Run", "down", "action", "0", "6", "4", "5", "action"});
        keys({"down", "action", "right", "right", "right", "right", "right", "right", "action"});
        keys({"down", "action"});
        ASSERT_TRUE(showing("Select Sound"));
        keys({"down", "down", "soft1"});  // Ring.ogg, Take Five.mp3, then Wake.wav
        ASSERT_TRUE(showing("Set Alarm"));
    }
};

// Pixels of the focus highlight: the focus shows wherever the screen is.
int highlighted(const std::vector<unsigned char> &rgb) {
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) n += RGB(rgb[i], rgb[i + 1], rgb[i + 2]) == plat::LOOK_HIGHLIGHT;
    return n;
}

TEST_F(OnScreen, EveryDialogShowsWithItsFocusOnEveryScreen) {
    struct Shown {
        const char *name, *title, *leave;
        bool focus;
    };
    const Shown dialogs[] = {
        {"set_alarm", "Set Alarm", "soft2", true},
        {"set_snooze", "Set Snooze", "soft2", true},
        {"settings", "Settings", "soft2", true},
        {"choose_color", "Choose Color", "soft2", true},
        {"about", "About", "soft1", false},
        {"hourly_chime", "Hourly Chime", "soft2", true},
        {"select_sound", "Select Sound", "soft2", true},
        {"select_playlist", "Select Sound", "soft2", false},
        {"choose_folder", "Choose Folder", "soft2", true},
        {"sleep", "Sleep", "soft2", true},
        {"countdown", "Countdown", "soft2", true},
    };
    const int sizes[3][2] = {{240, 320}, {176, 220}, {320, 240}};
    for (auto &size : sizes) {
        for (const Shown &d : dialogs) {
            std::string tag = std::string(d.name) + "-" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
            start_on_screen(DIALOG_VIEWER, size[0], size[1], {d.name});
            ASSERT_TRUE(showing(d.title)) << tag;
            if (std::string(d.name) == "choose_folder") keys({"down"});
            int w = 0, h = 0;
            std::vector<unsigned char> rgb;
            ASSERT_TRUE(shot(tag, &w, &h, &rgb)) << tag;
            EXPECT_EQ(w, size[0]) << tag;
            EXPECT_EQ(h, size[1]) << tag;
            if (d.focus) {
                EXPECT_GT(highlighted(rgb), 20) << tag << ": no focus to be seen";
            }
            keys({d.leave});
            for (int i = 0; i < 300 && lines().back().rfind("result", 0) != 0; i++) usleep(10000);
            EXPECT_EQ(lines().back().rfind("result", 0), 0u) << tag << " did not end on " << d.leave;
            EXPECT_EQ(stop(), 0) << tag;
        }
    }
}

TEST_F(OnScreen, SetAlarmsFromTheMenuReachesTheRegistryTheNotificationsAndTheFace) {
    start_clock();
    edit_alarm_3();
    keys({"soft1"});
    ASSERT_TRUE(showing("Velmora"));
    DWORD on = 0, hour = 0, minute = 0, days = 0;
    std::wstring name, sound;
    EXPECT_TRUE(get_dword(ALARM_2, L"AlarmOn", &on) && on == 1);
    get_dword(ALARM_2, L"AThour", &hour);
    get_dword(ALARM_2, L"ATmin", &minute);
    get_dword(ALARM_2, L"Days", &days);
    get_text(ALARM_2, L"AlarmName", &name);
    get_text(ALARM_2, L"AlarmSound", &sound);
    EXPECT_EQ(hour * 100 + minute, 645u);
    EXPECT_EQ(days, 62u);
    EXPECT_EQ(name, L"Run");
    EXPECT_EQ(sound, L"\\My Documents\\Wake.wav");
    // The next weekday 06:45 from now.
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME ft;
    SYSTEMTIME due = now;
    due.wHour = 6, due.wMinute = 45, due.wSecond = 0, due.wMilliseconds = 0;
    SystemTimeToFileTime(&due, &ft);
    ULONGLONG t = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (now.wHour * 60 + now.wMinute >= 6 * 60 + 45) t += 864000000000ULL;
    for (;;) {
        ft = {DWORD(t), DWORD(t >> 32)};
        FileTimeToSystemTime(&ft, &due);
        if (due.wDayOfWeek >= 1 && due.wDayOfWeek <= 5) break;
        t += 864000000000ULL;
    }
    std::vector<SeenRequest> requests = stored_requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].arguments, L"/ID:2");
    EXPECT_EQ(stamp(requests[0].start).substr(0, 16), stamp(due).substr(0, 16));
    std::string out;
    velctl({"dialog"}, &out);
    EXPECT_NE(out.find("STATIC \"Run (06:45"), std::string::npos) << out;
}

TEST_F(OnScreen, SetAlarmsCancelledLeavesTheRegistryAsItWas) {
    start_clock();
    edit_alarm_3();
    keys({"soft2"});
    ASSERT_TRUE(showing("Velmora"));
    EXPECT_FALSE(key_exists(ALARM_2));
    EXPECT_TRUE(stored_requests().empty());
}

}  // namespace

// Alarms that ring, with real processes on a temporary device: notifyd starts
// Velmgr at the due time, Velmgr starts the clock (or hands the event to the
// running one), and the ringing is seen with velctl, heard in a WAV capture
// and answered with the soft keys. The device clock is moved with velctl so
// that nothing waits for minutes; the programs' own pauses of 1 to 3 seconds
// are real.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "platform/screen/screen_control.h"
#include "resources/clock_bitmaps.h"
#include "resources/ringing_resources.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/audio_files.h"
#include "tests/support/bitmap_runs.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/store_device.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *MAIN = L"\\IPSM\\Program Files\\Velmora\\Velmora.exe";

class RingingLive : public StoreDevice {
protected:
    void SetUp() override {
        StoreDevice::SetUp();
        ASSERT_TRUE(install_program(MANAGER, built_velmgr()));
        ASSERT_TRUE(install_program(MAIN, VELMORA_PROGRAM));
        std::string sounds = root + "/IPSM/Program Files/Velmora/sounds";
        ASSERT_EQ(system(("mkdir -p '" + sounds + "' && cp " VELMORA_SOUNDS "/*.wav '" + sounds + "'").c_str()), 0);
        capture = root + "/heard.wav";
        // The service's environment is the one every program it starts gets.
        setenv("VELMORA_AUDIO", ("wav:" + capture).c_str(), 1);
        setenv("VELMORA_SCREEN", "headless", 1);
        ASSERT_TRUE(start_service());
        register_clock_bitmaps();
    }
    void TearDown() override {
        for (const wchar_t *name : {L"Velmora", L"Velmgr"})
            if (HWND w = FindWindowW(name, name)) PostMessageW(w, WM_CLOSE, 0, 0);
        for (int i = 0; i < 300 && (FindWindowW(L"Velmora", L"Velmora") || FindWindowW(L"Velmgr", L"Velmgr")); i++)
            usleep(10000);
        EXPECT_EQ(FindWindowW(L"Velmora", L"Velmora"), nullptr) << "the clock did not end";
        kill_service();
        // A program left behind by a failed test would keep the test's
        // output open, and the run waiting for it.
        end_device_processes();
        unsetenv("VELMORA_AUDIO");
        StoreDevice::TearDown();
    }
    void clock_set(const std::string &when) { ASSERT_EQ(run_velctl({"clock", "set", when}), 0); }
    std::string front() {
        std::string out;
        run_velctl({"dialog"}, &out);
        return out.substr(0, out.find('\n'));
    }
    // Polls until the window in front has the title; false after `seconds`.
    bool in_front(const std::string &title, int seconds) {
        std::string want = "window: \"" + title + "\"";
        for (long long until = host_now_ms() + seconds * 1000LL; host_now_ms() < until; usleep(50000))
            if (FindWindowW(L"Velmora", L"Velmora") && front().rfind(want, 0) == 0) return true;
        return false;
    }
    // The screen shows the bitmap somewhere, whole.
    bool shows_picture(const std::string &name, int bitmap) {
        std::string file = root + "/" + name + ".png";
        int w = 0, h = 0;
        std::vector<unsigned char> rgb;
        if (run_velctl({"screenshot", file}) != 0 || !png_read_rgb(file.c_str(), &w, &h, &rgb)) return false;
        if (const char *keep = getenv("VELMORA_SHOTS")) system(("cp " + file + " " + keep).c_str());
        const BitmapResource *b = resources_find_bitmap(bitmap);
        std::vector<unsigned char> picture = bitmap_pixels(b);
        if (picture.size() != size_t(b->width) * size_t(b->height) * 3) return false;
        for (int y = 0; y + b->height <= h; y++)
            for (int x = 0; x + b->width <= w; x++) {
                bool same = true;
                for (int row = 0; row < b->height && same; row++)
                    same = std::equal(picture.begin() + row * b->width * 3, picture.begin() + (row + 1) * b->width * 3,
                                      rgb.begin() + ((y + row) * w + x) * 3);
                if (same) return true;
            }
        return false;
    }
    // Stop on the ringing in front; the alarm's one request is then `due`.
    void stop_and_expect_next(const wchar_t *arguments, const std::string &due) {
        ASSERT_EQ(run_velctl({"key", "soft2"}), 0);
        ASSERT_TRUE(in_front("Velmora", 5));
        auto next = stored_requests_for(arguments);
        ASSERT_EQ(next.size(), 1u);
        EXPECT_EQ(stamp(next[0].start), due);
    }
    void enable_alarm(int index, int hour, int minute, const wchar_t *name) {
        AlarmRecord *a = alarm_record(index);
        a->AlarmOn = 1;
        a->AThour = DWORD(hour);
        a->ATmin = DWORD(minute);
        if (name) plat::copy_wide(a->AlarmName, ALARM_NAME_CHARS, name);
        save_alarm(index);
        schedule_alarm(index, nullptr);
    }
    std::string capture;
};

TEST_F(RingingLive, WithNothingRunningTheAlarmRingsAndSnoozeAndStopArmWhatComesNext) {
    clock_set("2030-01-15 06:58:00");
    enable_alarm(0, 7, 0, L"Wake up");
    clock_set("2030-01-15 06:59:58");
    ASSERT_TRUE(in_front("Wake up", 20)) << "no ringing; in front: " << front();
    EXPECT_NE(FindWindowW(L"Velmgr", L"Velmgr"), nullptr) << "the manager did not stay resident";
    EXPECT_TRUE(shows_picture("ringing-cold", IDB_ALARM_PICTURE_LARGE));
    usleep(4000000);  // two repeats of the sound
    ASSERT_EQ(run_velctl({"key", "soft1"}), 0);
    ASSERT_TRUE(in_front("Velmora", 5));

    // Heard: the alarm's sound again and again, half a second after its end.
    int rate = 0;
    double length = double(read_wav(VELMORA_SOUNDS "/buzz.wav", &rate).size()) / rate;
    auto heard = sound_stretches(read_capture_written(capture), 22050, 0.1);
    int repeats = 0;  // stretches heard again one length and half a second later
    for (size_t i = 0; i < heard.size(); i++)
        for (size_t j = i + 1; j < heard.size(); j++)
            repeats += std::fabs(heard[j].start - heard[i].start - length - 0.5) < 0.05;
    EXPECT_GE(repeats, 2) << "the sound did not repeat with its half-second gaps";

    auto snooze = stored_requests_for(L"/ID:0");
    ASSERT_EQ(snooze.size(), 1u) << "the snooze replaces the alarm's request";
    EXPECT_EQ(stamp(snooze[0].start).substr(0, 15), "2030-01-15 07:1");
    reload_alarm_handle(0);
    EXPECT_EQ(snooze[0].handle, alarm_record(0)->AlarmHandle);

    // The snooze falls due while the clock runs: it is handed over by message.
    // The clock is moved just past it: a clock change re-arms every alarm,
    // which would put the regular occurrence in place of a snooze not yet due.
    const SYSTEMTIME &due = snooze[0].start;
    char when[32];
    snprintf(when, sizeof when, "2030-01-15 %02d:%02d:%02d", due.wHour, due.wMinute, due.wSecond + 1);
    clock_set(when);
    ASSERT_TRUE(in_front("Wake up", 20)) << "the snooze did not ring; in front: " << front();
    stop_and_expect_next(L"/ID:0", "2030-01-16 07:00:00.000");
}

TEST_F(RingingLive, WithTheClockRunningTheCountdownAndThenAnAlarmRing) {
    clock_set("2030-01-15 09:00:00");
    Settings.CountdownTime = 1;
    ASSERT_EQ(start_countdown(nullptr), 1);
    Settings.Countdown = 1;
    save_countdown_settings();
    char program[DEVICE_HOST_PATH];
    ASSERT_TRUE(device_host_path(MAIN, program, sizeof program));
    pid_t clock = plat::spawn_program(program, {}, false);
    ASSERT_GT(clock, 0);
    ASSERT_TRUE(in_front("Velmora", 20)) << "the clock did not show; in front: " << front();

    clock_set("2030-01-15 09:00:58");
    ASSERT_TRUE(in_front("Alarm", 15)) << "the countdown did not ring; in front: " << front();
    EXPECT_TRUE(shows_picture("countdown-running", IDB_ALARM_PICTURE_LARGE));
    ASSERT_EQ(run_velctl({"key", "soft1"}), 0);
    ASSERT_TRUE(in_front("Velmora", 5));
    load_settings();
    EXPECT_EQ(Settings.Countdown, 0u);
    EXPECT_TRUE(stored_requests_for(L"/ID:254").empty());

    enable_alarm(2, 9, 3, nullptr);
    ASSERT_EQ(run_velctl({"post", "Velmora", "Velmora", "0x8006", "0"}), 0);  // the clock rereads the alarms
    clock_set("2030-01-15 09:02:58");
    ASSERT_TRUE(in_front("Alarm 3", 20)) << "the alarm did not ring; in front: " << front();
    stop_and_expect_next(L"/ID:2", "2030-01-16 09:03:00.000");
}

}  // namespace

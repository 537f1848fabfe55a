// Sleep music and the countdown as a person meets them, with the real
// programs on a temporary device driven by velctl alone: keys through the
// menus and dialogs, the lines under the face, screenshots (kept in
// $VELMORA_SHOTS when it is set), the sound in a WAV capture, the device
// clock moved on, and for the countdown notifyd and Velmgr ringing it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "platform/phone.h"
#include "store/settings.h"
#include "tests/support/audio_files.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"
#include "tests/support/run_program.h"
#include "tests/support/screen_program.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *MAIN = L"\\IPSM\\Program Files\\Velmora\\Velmora.exe";
constexpr double RAIN_HZ = 500, RAIN_END_HZ = 700, WIND_HZ = 1000, WAVES_HZ = 2000;
constexpr double RAIN_FIRST_PART_S = 4.0;
const char *const SIZES[] = {"240x320", "176x220", "320x240"};

// Polls until `done` holds; false after `seconds`.
bool within(double seconds, const std::function<bool()> &done) {
    for (int waited_ms = 0; waited_ms < seconds * 1000; waited_ms += 50) {
        if (done()) return true;
        usleep(50000);
    }
    return done();
}

std::string tag_of(const char *title) {
    return id3v2_tag({{"TIT2", std::string(1, '\0') + title},
                      {"TPE1", std::string(1, '\0') + "Ann Lee"},
                      {"TALB", std::string(1, '\0') + "Night Songs"}});
}

// What both fixtures share: files in the device, the keys, what the window
// in front shows.
class LiveDevice : public ScreenProgram {
protected:
    // Rain first sounds at 500 Hz and then at 700 Hz, so that where it
    // goes on after a pause can be heard.
    void night_songs(double seconds) {
        ASSERT_TRUE(write_tagged_mp3(host_with_folders("My Documents/Music/Night/1 Rain.mp3"), tag_of("Rain"),
                                     {{std::min(seconds, RAIN_FIRST_PART_S), RAIN_HZ},
                                      {seconds - std::min(seconds, RAIN_FIRST_PART_S), RAIN_END_HZ}}));
        ASSERT_TRUE(write_tagged_mp3(host_with_folders("My Documents/Music/Night/2 Wind.mp3"), tag_of("Wind"), seconds, WIND_HZ));
        ASSERT_TRUE(write_tagged_mp3(host_with_folders("My Documents/Music/Night/3 Waves.mp3"), tag_of("Waves"), seconds, WAVES_HZ));
    }
    void keys(std::vector<std::string> names) {
        names.insert(names.begin(), "key");
        ASSERT_EQ(velctl(names), 0);
    }
    std::string front_dialog() {
        std::string out;
        velctl({"dialog"}, &out);
        return out;
    }
    bool showing(const std::string &title, double seconds = 5) {
        return within(seconds, [&] { return front_dialog().rfind("window: \"" + title + "\"", 0) == 0; });
    }
    // The texts of the lines under the face, top to bottom as made.
    std::vector<std::string> lines_under_face() {
        std::vector<std::string> out;
        std::string all = front_dialog();
        for (size_t at = all.find("0 STATIC \""); at != std::string::npos; at = all.find("0 STATIC \"", at + 1)) {
            if (at > 0 && all[at - 1] != '\n') continue;
            size_t start = at + 10, end = all.find("\"\n", start);
            out.push_back(all.substr(start, end - start));
        }
        return out;
    }
    bool line_shows(const std::string &text) {
        for (const std::string &line : lines_under_face())
            if (line == text) return true;
        return false;
    }
    void set_screen(const char *size) {
        DeviceSettings ds = *device_settings();
        device_parse_screen(size, &ds.screen_width, &ds.screen_height);
        ASSERT_TRUE(device_save_settings(&ds));
    }
    void screenshot(const std::string &name) {
        int w = 0, h = 0;
        std::vector<unsigned char> rgb;
        ASSERT_TRUE(shot(name, &w, &h, &rgb)) << name;
    }
    void clock_set(const std::string &when) { ASSERT_EQ(velctl({"clock", "set", when}), 0); }
};

class SleepLive : public LiveDevice {
protected:
    void SetUp() override {
        LiveDevice::SetUp();
        capture = root + "/heard.wav";
    }
    void start_clock(const char *size = "240x320") {
        set_screen(size);
        program = start_program({VELMORA_PROGRAM}, {"VELMORA_DEVICE=" + root, "VELMORA_SCREEN=headless",
                                                    "VELMORA_NOTIFYD=off", "VELMORA_AUDIO=wav:" + capture});
        ASSERT_GT(program, 0);
        ASSERT_TRUE(showing("Velmora"));
    }
    // The pitches heard so far, one a run, and how long each lasted.
    std::vector<Stretch> heard() { return pitch_runs(read_capture_written(capture), 22050); }
    bool hearing(double hz) {
        return within(5, [&] {
            std::vector<Stretch> runs = heard();
            return !runs.empty() && std::fabs(runs.back().freq - hz) < hz * 0.05;
        });
    }
    // Open > Sleep > Start Sleep, "Or after time:" 0:30, a source of kind
    // `turns` (right turns of the drop-down) chosen with `choose`, Sleep.
    void start_timed_sleep(int turns, const std::function<void()> &choose) {
        keys({"soft1", "1", "1"});
        ASSERT_TRUE(showing("Sleep"));
        keys({"down", "action", "down", "down", "action", "down", "action", "action", "action"});
        keys({"down", "down", "down", "down"});
        for (int i = 0; i < turns; i++) keys({"right"});
        keys({"down", "action"});
        choose();
        ASSERT_TRUE(showing("Sleep"));
        keys({"soft1"});
        ASSERT_TRUE(showing("Velmora"));
    }
    void choose_night_folder() {
        ASSERT_TRUE(showing("Choose Folder"));
        keys({"down", "right", "down", "right", "down", "soft1"});
    }
    std::string capture;
};

TEST_F(SleepLive, AFolderOfThreeSongsPlaysStepsPausesAndEndsWithTheTime) {
    night_songs(30);
    start_clock();
    start_timed_sleep(0, [this] { choose_night_folder(); });
    ASSERT_TRUE(hearing(RAIN_HZ)) << "song 1 is not heard";
    EXPECT_TRUE(within(3, [&] { return line_shows("Rain") && line_shows("Ann Lee - Night Songs"); }));
    EXPECT_TRUE(line_shows("00:30"));

    keys({"soft1", "1", "4"});  // Pause
    size_t loud = 0;
    std::vector<std::string> seen;
    // The lines hide on every other tick of the second: sampled for more
    // than two seconds whatever the tick's phase and velctl's speed.
    for (int i = 0; i < 20; i++, usleep(150000)) {
        std::vector<std::string> lines = lines_under_face();
        if (!lines.empty()) seen.push_back(lines[0]);
    }
    for (const Stretch &run : heard()) loud += size_t((run.end - run.start) * 1000);
    usleep(1000000);
    size_t loud_later = 0;
    for (const Stretch &run : heard()) loud_later += size_t((run.end - run.start) * 1000);
    EXPECT_LT(loud_later - loud, 50u) << "sound went on while paused";
    EXPECT_NE(std::find(seen.begin(), seen.end(), ""), seen.end()) << "the time left does not blink";
    EXPECT_NE(std::find(seen.begin(), seen.end(), "00:30"), seen.end());

    keys({"soft1", "1", "4"});  // Pause again: on where it was
    ASSERT_TRUE(within(8, [&] {
        std::vector<Stretch> runs = heard();
        return !runs.empty() && std::fabs(runs.back().freq - RAIN_END_HZ) < RAIN_END_HZ * 0.1;
    })) << "Rain did not go on";
    double first_part = 0;
    for (const Stretch &run : heard())
        if (std::fabs(run.freq - RAIN_HZ) < RAIN_HZ * 0.1) first_part += run.end - run.start;
    EXPECT_NEAR(first_part, RAIN_FIRST_PART_S, 0.4) << "Rain started again instead of going on";

    keys({"soft1", "1", "5"});  // Next
    EXPECT_TRUE(hearing(WIND_HZ));
    EXPECT_TRUE(within(3, [&] { return line_shows("Wind"); }));
    keys({"soft1", "1", "2"});  // Prev
    EXPECT_TRUE(hearing(RAIN_HZ));

    // Half an hour later by the device clock the music ends.
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME ft;
    SystemTimeToFileTime(&now, &ft);
    ULONGLONG t = ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) + 30 * 600000000ULL;
    ft = {DWORD(t), DWORD(t >> 32)};
    FileTimeToSystemTime(&ft, &now);
    char later[64];
    snprintf(later, sizeof later, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    clock_set(later);
    EXPECT_TRUE(within(4, [&] { return line_shows("No Pending Alarms"); })) << "the clock did not come back";
    std::vector<Stretch> runs = heard();
    usleep(500000);
    EXPECT_EQ(heard().size(), runs.size()) << "music after the end";
}

// The libraries that decode sound and read tags cost memory all day: the
// clock at rest has not loaded them, and loads them when music plays.
TEST_F(SleepLive, SoundLibrariesAreLoadedOnlyWhenMusicPlays) {
    night_songs(10);
    start_clock();
    auto mapped = [this](const char *library) {
        std::ifstream maps("/proc/" + std::to_string(program) + "/maps");
        std::string line;
        while (std::getline(maps, line))
            if (line.find(library) != std::string::npos) return true;
        return false;
    };
    for (const char *library : {"libsndfile", "libtag", "Veltags", "libSDL2"})
        EXPECT_FALSE(mapped(library)) << library << " is loaded at rest";
    start_timed_sleep(0, [this] { choose_night_folder(); });
    ASSERT_TRUE(hearing(RAIN_HZ)) << "song 1 is not heard";
    EXPECT_TRUE(within(3, [&] { return line_shows("Rain"); }));
    for (const char *library : {"libsndfile", "libtag", "Veltags"})
        EXPECT_TRUE(mapped(library)) << library << " is not loaded while music plays";
}

TEST_F(SleepLive, APlaylistAndASingleFilePlayTheSameWay) {
    night_songs(30);
    std::ofstream(host_with_folders("My Documents/Night.asx"))
        << "<ASX version=\"3.0\">\n<ENTRY><REF HREF=\"\\My Documents\\Music\\Night\\3 Waves.mp3\"/></ENTRY>\n"
           "<ENTRY><REF HREF=\"\\My Documents\\Music\\Night\\2 Wind.mp3\"/></ENTRY>\n</ASX>\n";
    start_clock();
    start_timed_sleep(2, [this] {
        ASSERT_TRUE(showing("Select Sound"));
        keys({"soft1"});
    });
    EXPECT_TRUE(hearing(WAVES_HZ)) << "the playlist's first entry is not heard";
    EXPECT_TRUE(within(3, [&] { return line_shows("Waves"); }));
    keys({"soft1", "1", "5"});
    EXPECT_TRUE(hearing(WIND_HZ)) << "the playlist's second entry is not heard";
    keys({"soft1", "1", "3"});  // Stop
    EXPECT_TRUE(within(4, [&] { return line_shows("No Pending Alarms"); }));

    // Sounds listed by name: 1 Rain, 2 Wind, 3 Waves.
    start_timed_sleep(1, [this] {
        ASSERT_TRUE(showing("Select Sound"));
        keys({"down", "soft1"});
    });
    EXPECT_TRUE(hearing(WIND_HZ)) << "the single file is not heard";
    EXPECT_TRUE(within(3, [&] { return line_shows("Wind"); }));
    std::wstring kind;
    get_text(SETTINGS_KEY, L"SleepPath", &kind);
    EXPECT_EQ(kind, L"\\My Documents\\Music\\Night\\2 Wind.mp3");
}

TEST_F(SleepLive, StopWhenSoundsFinishEndsAfterTheLastSong) {
    night_songs(0.8);
    start_clock();
    keys({"soft1", "1", "1"});
    ASSERT_TRUE(showing("Sleep"));
    keys({"action"});  // "Stop when sounds finish"
    for (int i = 0; i < 9; i++) keys({"down"});
    keys({"action"});
    choose_night_folder();
    ASSERT_TRUE(showing("Sleep"));
    keys({"soft1"});
    ASSERT_TRUE(showing("Velmora"));
    EXPECT_TRUE(within(3, [&] { return line_shows("Rain"); }));
    EXPECT_FALSE(line_shows("00:10")) << "no time left without timed sleep";
    EXPECT_TRUE(within(8, [&] { return line_shows("No Pending Alarms"); })) << "sleep did not end with the songs";
    std::vector<double> order;
    for (const Stretch &run : heard())
        if (run.end - run.start > 0.2) order.push_back(run.freq);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_NEAR(order[0], RAIN_HZ, 25);
    EXPECT_NEAR(order[1], WIND_HZ, 50);
    EXPECT_NEAR(order[2], WAVES_HZ, 100);
}

// The clock in both modes on the three screens, to be looked at.
TEST_F(SleepLive, TheSleepAndCountdownModesOnEveryScreen) {
    night_songs(30);
    put_text(SETTINGS_KEY, L"SleepPath", L"\\My Documents\\Music\\Night");
    put_dword(SETTINGS_KEY, L"SleepPathType", SLEEP_SOURCE_FOLDER);
    put_dword(SETTINGS_KEY, L"SleepTime", 45);
    put_dword(SETTINGS_KEY, L"TimedSleep", 1);
    for (const char *size : SIZES) {
        std::string tag = size;
        start_clock(size);
        keys({"soft1", "1", "1"});
        ASSERT_TRUE(showing("Sleep")) << tag;
        keys({"soft1"});
        ASSERT_TRUE(showing("Velmora")) << tag;
        ASSERT_TRUE(within(3, [&] { return line_shows("Rain") && line_shows("00:45"); })) << tag;
        screenshot("clock-sleep-playing-" + tag);
        keys({"soft1", "1", "4"});
        ASSERT_TRUE(within(3, [&] { return line_shows(""); })) << tag;
        screenshot("clock-sleep-paused-hidden-" + tag);
        ASSERT_TRUE(within(3, [&] { return line_shows("00:45"); })) << tag;
        screenshot("clock-sleep-paused-shown-" + tag);
        keys({"soft1", "1", "3"});
        ASSERT_TRUE(within(3, [&] { return line_shows("No Pending Alarms"); })) << tag;
        keys({"soft1", "2", "1"});
        ASSERT_TRUE(showing("Countdown")) << tag;
        keys({"soft1"});
        ASSERT_TRUE(showing("Velmora")) << tag;
        usleep(1500000);  // a tick draws the digits and the banner
        screenshot("clock-countdown-" + tag);
        keys({"soft1", "2", "2"});
        EXPECT_EQ(stop(), 0) << tag;
    }
}

// notifyd, Velmgr and the clock, as in the ringing's own live test.
class CountdownLive : public LiveDevice {
protected:
    void SetUp() override {
        LiveDevice::SetUp();
        ASSERT_TRUE(install_program(MANAGER, built_velmgr()));
        ASSERT_TRUE(install_program(MAIN, VELMORA_PROGRAM));
        std::string sounds = root + "/IPSM/Program Files/Velmora/sounds";
        ASSERT_EQ(system(("mkdir -p '" + sounds + "' && cp " VELMORA_SOUNDS "/*.wav '" + sounds + "'").c_str()), 0);
        setenv("VELMORA_AUDIO", "null", 1);
        setenv("VELMORA_SCREEN", "headless", 1);
        use_built_service(true);
        ASSERT_TRUE(start_service());
    }
    void TearDown() override {
        for (const wchar_t *name : {L"Velmora", L"Velmgr"})
            if (HWND w = FindWindowW(name, name)) PostMessageW(w, WM_CLOSE, 0, 0);
        EXPECT_TRUE(within(3, [] {
            return !FindWindowW(L"Velmora", L"Velmora") && !FindWindowW(L"Velmgr", L"Velmgr");
        })) << "the clock did not end";
        kill_service();
        unsetenv("VELMORA_AUDIO");
        LiveDevice::TearDown();
    }
    void start_clock() {
        char path[DEVICE_HOST_PATH];
        ASSERT_TRUE(device_host_path(MAIN, path, sizeof path));
        ASSERT_GT(plat::spawn_program(path, {}, false), 0);
        ASSERT_TRUE(showing("Velmora", 20));
    }
    // Open > Countdown > Start Countdown, 0:0 1, Start.
    void one_minute_countdown() {
        keys({"soft1", "2", "1"});
        ASSERT_TRUE(showing("Countdown"));
        keys({"down", "down", "down", "action", "action", "action", "down", "action", "soft1"});
        ASSERT_TRUE(showing("Velmora"));
    }
    void close_clock() {
        PostMessageW(FindWindowW(L"Velmora", L"Velmora"), WM_CLOSE, 0, 0);
        ASSERT_TRUE(within(5, [] { return !FindWindowW(L"Velmora", L"Velmora"); }));
    }
};

TEST_F(CountdownLive, ThroughTheMenuItShowsRingsAndStopsOrIsCancelled) {
    clock_set("2030-01-15 09:00:00");
    start_clock();
    one_minute_countdown();
    auto requests = stored_requests_for(L"/ID:254");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(stamp(requests[0].start).substr(0, 16), "2030-01-15 09:01");
    usleep(1200000);
    screenshot("clock-countdown-running");
    clock_set("2030-01-15 09:00:59");
    ASSERT_TRUE(showing("Alarm", 15)) << "the countdown did not ring";
    keys({"soft1"});
    ASSERT_TRUE(showing("Velmora"));
    EXPECT_TRUE(stored_requests_for(L"/ID:254").empty());
    DWORD on = 9;
    get_dword(SETTINGS_KEY, L"Countdown", &on);
    EXPECT_EQ(on, 0u);

    one_minute_countdown();
    ASSERT_EQ(stored_requests_for(L"/ID:254").size(), 1u);
    keys({"soft1", "2", "2"});  // Cancel Countdown
    EXPECT_TRUE(within(3, [] { return stored_requests_for(L"/ID:254").empty(); }));
}

TEST_F(CountdownLive, ACountdownSurvivesARestartOfTheClockAndStillRings) {
    clock_set("2030-01-15 09:00:00");
    start_clock();
    one_minute_countdown();
    close_clock();
    EXPECT_EQ(stored_requests_for(L"/ID:254").size(), 1u) << "closing the clock kept the countdown";
    start_clock();
    usleep(1200000);
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(shot("clock-countdown-restarted", &w, &h, &rgb));
    EXPECT_TRUE(line_shows("No Pending Alarms")) << "the clock's own lines in the Countdown mode";
    clock_set("2030-01-15 09:00:59");
    ASSERT_TRUE(showing("Alarm", 15)) << "the countdown did not ring after the restart";
    keys({"soft1"});
    ASSERT_TRUE(showing("Velmora"));
}

}  // namespace

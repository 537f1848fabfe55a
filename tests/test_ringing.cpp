// The ringing dialogs and the event dispatch inside the clock's own process:
// which file rings, the title and picture, Snooze, Stop, Back, the time
// limit, the power-on restart, volume and profile, and what each event
// re-arms. Keys go through the soft-key bar as a person presses them; the
// steps of a test run inside the dialog's own message loop.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>

#include "app/event_dispatch.h"
#include "app/window_modes.h"
#include "platform/audio/fsound_testing.h"
#include "platform/device/clock_testing.h"
#include "platform/device/device.h"
#include "platform/dialog_manager/dialog_internal.h"
#include "platform/screen/screen.h"
#include "platform/screen/screen_control.h"
#include "platform/shell/menu_internal.h"
#include "resources/ringing_resources.h"
#include "sound/ringing.h"
#include "sound/ringing_testing.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "app/status_labels.h"
#include "tests/support/app_window.h"
#include "tests/support/audio_files.h"
#include "tests/support/bitmap_runs.h"
#include "tests/support/heard_output.h"
#include "tests/support/notify_probe.h"

namespace {

constexpr double DEFAULT_HZ = 440, OWN_HZ = 880, COUNTDOWN_HZ = 660;
const wchar_t *const OWN = L"\\My Documents\\own.wav";

using Step = std::function<void(HWND dialog)>;
std::vector<Step> steps;
size_t next_step;
bool driver_done;  // a step ended the loop some other way: nothing more to do

bool is_dialog(HWND w) { return w && plat::dialog_of(w) == w; }

// Runs one step a loop turn, inside whatever modal loop is running; a dialog
// still up after the last step is stopped.
LRESULT driver_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_APP) return DefWindowProcW(w, m, wp, lp);
    HWND front = GetForegroundWindow();
    if (!is_dialog(front)) return 0;  // no ringing came up
    if (next_step < steps.size()) {
        steps[next_step++](front);
        if (!driver_done) PostMessageW(w, WM_APP, 0, 0);
    } else {
        PostMessageW(front, WM_COMMAND, IDC_RING_STOP, 0);
    }
    return 0;
}

DWORD fake_ticks;
DWORD read_fake_ticks(void) { return fake_ticks; }

class Ringing : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        setenv("VELMORA_AUDIO", "null", 1);
        clock_set_virtual_sleep(true);
        tone(L"\\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav", DEFAULT_HZ);
        tone(L"\\IPSM\\Program Files\\Velmora\\sounds\\CBuzzer.wav", COUNTDOWN_HZ);
        tone(OWN, OWN_HZ);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = driver_proc;
        wc.lpszClassName = L"RingDriver";
        RegisterClassW(&wc);
        driver = CreateWindowExW(0, L"RingDriver", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        listen_to_output(true);
        TestRing = MaxTimeReached = 0;
    }
    void TearDown() override {
        ringing_use_ticks(nullptr);
        listen_to_output(false);
        DestroyWindow(driver);
        AppWindow::TearDown();
        EXPECT_EQ(SoundPlayer.LibraryUsers, 0) << "a ringing left the library held";
        unsetenv("VELMORA_AUDIO");
    }
    std::string host_file(const wchar_t *path) {
        char host[DEVICE_HOST_PATH];
        EXPECT_TRUE(device_host_path(path, host, sizeof host));
        std::string s = host;
        for (size_t i = 1; i < s.size(); i++)
            if (s[i] == '/') mkdir(s.substr(0, i).c_str(), 0755);
        return s;
    }
    void tone(const wchar_t *path, double hz) { ASSERT_TRUE(write_wav_tone(host_file(path), 5.0, hz)); }
    // Steps to run once the next modal loop turns.
    void script(std::vector<Step> s) {
        steps = std::move(s);
        next_step = 0;
        driver_done = false;
        PostMessageW(driver, WM_APP, 0, 0);
    }
    INT_PTR ring(int index, std::vector<Step> s) {
        RingingAlarmIndex = index;
        script(std::move(s));
        INT_PTR result = run_alarm_ringing(nullptr, MainWindow.screen_type);
        steps.clear();
        return result;
    }
    void event(WPARAM id, std::vector<Step> s) {
        script(std::move(s));
        dispatch_event(id);
        steps.clear();
        pump();
    }
    static Step expect_pitch(double hz) {
        return [hz](HWND) {
            forget_heard();
            EXPECT_NEAR(pitch_heard(), hz, hz * 0.05);
        };
    }
    static Step press(int vk) {
        return [vk](HWND) { plat::input_key(vk, 0); };
    }
    static Step timer(UINT_PTR id) {
        return [id](HWND d) { SendMessageW(d, WM_TIMER, id, 0); };
    }
    std::vector<std::string> journal_boxes() {
        std::ifstream in(root + "/journal.log");
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);)
            if (line.find("message box") != std::string::npos) out.push_back(line.substr(line.find(": ") + 2));
        return out;
    }
    AlarmRecord &alarm(int index) { return *alarm_record(index); }
    HWND driver = nullptr;
};

// The soft keys' texts of the window in front.
std::vector<std::wstring> soft_keys() {
    HMENU keys = reinterpret_cast<HMENU>(SendMessageW(plat::menubar_of_foreground(), SHCMBM_GETMENU, 0, 0));
    std::vector<std::wstring> out;
    if (plat::Menu *m = plat::menu_get(keys))
        for (const auto &item : m->items) out.push_back(item.text);
    return out;
}

// Where on the screen the picture shows, and whether it shows the bitmap.
void expect_picture(HWND dialog, int bitmap) {
    MSG paint;
    while (PeekMessageW(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&paint);
    HWND picture = plat::window_get(dialog)->children.front();
    WCHAR text[16] = L"";
    GetWindowTextW(picture, text, 16);
    EXPECT_EQ(std::wstring(text), L"#" + std::to_wstring(bitmap));
    RECT at;
    GetWindowRect(picture, &at);
    plat::screen_compose();
    const plat::Surface &frame = *plat::screen_frame();
    const BitmapResource *b = resources_find_bitmap(bitmap);
    ASSERT_NE(b, nullptr);
    std::vector<unsigned char> pixels = bitmap_pixels(b);
    ASSERT_EQ(pixels.size(), size_t(b->width) * size_t(b->height) * 3);
    ASSERT_LE(at.left + b->width, frame.width) << "the picture does not fit the screen";
    ASSERT_LE(at.top + b->height, frame.height);
    int wrong = 0;
    for (int y = 0; y < b->height; y++)
        for (int x = 0; x < b->width; x++) {
            const unsigned char *p = frame.pixel(int(at.left) + x, int(at.top) + y),
                                *q = pixels.data() + (y * b->width + x) * 3;
            wrong += p[2] != q[0] || p[1] != q[1] || p[0] != q[2];
        }
    EXPECT_EQ(wrong, 0);
    if (const char *keep = getenv("VELMORA_SHOTS")) {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < frame.height; y++)
            for (int x = 0; x < frame.width; x++) {
                const unsigned char *p = frame.pixel(x, y);
                rgb.insert(rgb.end(), {p[2], p[1], p[0]});
            }
        WCHAR title[64];
        GetWindowTextW(dialog, title, 64);
        std::string name = std::string(keep) + "/ringing-" + (wcscmp(title, L"Alarm") ? "alarm-" : "countdown-") +
                           std::to_string(frame.width) + "x" + std::to_string(frame.height) + ".png";
        png_write_rgb(name.c_str(), frame.width, frame.height, rgb.data(), nullptr);
    }
}

class RingingOnEachScreen : public Ringing, public ::testing::WithParamInterface<const char *> {};

TEST_P(RingingOnEachScreen, BothDialogsFillTheScreenWithThePictureOfTheLayoutAndTheirSoftKeys) {
    screen(GetParam());
    start();
    int picture = MainWindow.screen_type == LAYOUT_LARGE ? IDB_ALARM_PICTURE_LARGE : IDB_ALARM_PICTURE_SMALL;
    RECT work;
    plat::screen_work_area(&work);
    alarm(0).AlarmOn = 1;
    plat::copy_wide(alarm(0).AlarmName, ALARM_NAME_CHARS, L"Wake up");
    event(0, {[&](HWND d) {
              RECT r;
              GetWindowRect(d, &r);
              EXPECT_TRUE(EqualRect(&r, &work));
              EXPECT_EQ(text_of(d), L"Wake up");
              EXPECT_EQ(soft_keys(), (std::vector<std::wstring>{L"Snooze", L"Stop"}));
              expect_picture(d, picture);
          }});
    Settings.Countdown = 1;
    set_mode(MODE_COUNTDOWN);
    event(EVENT_ID_COUNTDOWN, {[&](HWND d) {
              EXPECT_EQ(text_of(d), L"Alarm");
              EXPECT_EQ(soft_keys(), (std::vector<std::wstring>{L"Stop", L""}));
              expect_picture(d, picture);
          }});
}

INSTANTIATE_TEST_SUITE_P(Screens, RingingOnEachScreen, ::testing::Values("240x320", "176x220", "320x240"));

TEST_F(Ringing, TheAlarmsOwnFileRingsAndAnythingThatCannotBeASoundGivesWayToTheDefault) {
    start();
    std::ofstream(host_file(L"\\My Documents\\empty.wav"));
    std::ofstream(host_file(L"\\My Documents\\notes.wav")) << "not a sound at all";
    mkdir(host_file(L"\\My Documents\\folder.wav").c_str(), 0755);
    std::wstring long_path = L"\\My Documents\\" + std::wstring(MAX_PATH - 15, L'x');
    const std::pair<std::wstring, double> cases[] = {
        {OWN, OWN_HZ},
        {L"buzz.wav", DEFAULT_HZ},
        {L"\\My Documents\\gone.wav", DEFAULT_HZ},
        {L"\\My Documents\\empty.wav", DEFAULT_HZ},
        {L"\\My Documents\\notes.wav", DEFAULT_HZ},
        {L"\\My Documents\\folder.wav", DEFAULT_HZ},
        {long_path, DEFAULT_HZ},
    };
    for (const auto &[sound, hz] : cases) {
        SCOPED_TRACE(plat::to_utf8(sound.c_str()));
        plat::copy_wide(alarm(4).AlarmSound, MAX_PATH, sound.c_str());
        EXPECT_EQ(ring(4, {expect_pitch(hz), press(VK_TSOFT2)}), RING_STOPPED);
        EXPECT_EQ(SoundPlayer.RingingStream.load(), nullptr);
    }
    EXPECT_TRUE(journal_boxes().empty());
}

TEST_F(Ringing, WithoutTheDefaultFileEachDialogSaysSoAndEndsAsStop) {
    start();
    unsigned opens = fsound_open_count();
    unlink(host_file(L"\\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav").c_str());
    unlink(host_file(L"\\IPSM\\Program Files\\Velmora\\sounds\\CBuzzer.wav").c_str());
    plat::copy_wide(alarm(1).AlarmSound, MAX_PATH, L"\\My Documents\\gone.wav");
    EXPECT_EQ(ring(1, {}), RING_STOPPED);
    EXPECT_EQ(run_countdown_ringing(nullptr, LAYOUT_LARGE), RING_STOPPED);
    EXPECT_EQ(journal_boxes(),
              (std::vector<std::string>{
                  "[Error] Can't find the alarm sound file \\IPSM\\Program Files\\Velmora\\sounds\\buzz.wav.  Please "
                  "go to \"Set Alarm\" and select a valid sound file.",
                  "[Error] Can't find the countdown sound file \\IPSM\\Program Files\\Velmora\\sounds\\CBuzzer.wav.  "
                  "Please select a valid sound file."}));
    EXPECT_EQ(fsound_open_count(), opens) << "something was played";
}

TEST_F(Ringing, TheTitleIsTheNameOrTheAlarmsNumber) {
    start();
    for (const wchar_t *name : {L"Untitled", L"", L"Dentist"}) {
        plat::copy_wide(alarm(2).AlarmName, ALARM_NAME_CHARS, name);
        std::wstring title;
        ring(2, {[&](HWND d) { title = text_of(d); }});
        EXPECT_EQ(title, *name && wcscmp(name, L"Untitled") ? name : L"Alarm 3");
    }
}

// The ringing's own clock is faked; a check is the limit timer firing.
TEST_F(Ringing, TheTimeLimitEndsTheRingingAtTheFirstCheckNearOrPastMaxTime) {
    start();
    ringing_use_ticks(read_fake_ticks);
    auto at = [](DWORD ms) { return [ms](HWND) { fake_ticks += ms; }; };
    struct Case {
        DWORD max_time;
        std::vector<DWORD> checks;  // ms from the previous check
        size_t ends_at;             // the check that ends it; checks.size(): none
    };
    const Case cases[] = {
        {5, {295000}, 0},             // 4 min 55 s
        {5, {285000, 60000}, 1},      // 4:45 does not; 5:45 does, though 45 s past
        {0, {0}, 0},                  // at once
        {100000, {60000, 60000}, 2},  // far from the limit
        {5, {285000, 3600000}, 1},    // a check an hour late still ends it
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.max_time);
        Settings.MaxTime = c.max_time;
        fake_ticks = 0xFFFFFFFFu - 100000;  // across the 32-bit count's wrap
        std::vector<Step> s;
        std::vector<bool> up_after(c.checks.size());
        for (size_t i = 0; i < c.checks.size(); i++) {
            s.push_back(at(c.checks[i]));
            s.push_back(timer(RING_LIMIT_TIMER_ID));
            s.push_back([&up_after, i](HWND d) { up_after[i] = is_dialog(d); });
        }
        MaxTimeReached = 0;
        EXPECT_EQ(ring(0, s), RING_STOPPED);
        for (size_t i = 0; i < c.checks.size(); i++) EXPECT_EQ(up_after[i], i < c.ends_at) << "check " << i;
        EXPECT_EQ(MaxTimeReached, c.ends_at < c.checks.size() ? 1 : 0);
    }
}

TEST_F(Ringing, SnoozeRegistersTheSnoozeUnlessATestAndHoldsASecond) {
    start();
    alarm(3).AlarmOn = 1;
    schedule_alarm(3, nullptr);
    ASSERT_EQ(stored_requests_for(L"/ID:3").size(), 1u);
    TestRing = 1;
    EXPECT_EQ(ring(3, {press(VK_TSOFT1)}), RING_SNOOZED);
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:3")[0].start), "2030-01-16 07:00:00.000") << "a test snoozes nothing";
    TestRing = 0;
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    EXPECT_EQ(ring(3, {press(VK_TSOFT1)}), RING_SNOOZED);
    GetLocalTime(&after);
    EXPECT_GE(clock_ms_from_systemtime(&after) - clock_ms_from_systemtime(&before), 1000) << "no hold after Snooze";
    auto snooze = stored_requests_for(L"/ID:3");
    ASSERT_EQ(snooze.size(), 1u) << "the snooze replaces the alarm's request";
    SYSTEMTIME due;
    clock_systemtime_from_ms(clock_ms_from_systemtime(&before) + 15 * 60000, &due);
    EXPECT_EQ(stamp(snooze[0].start), stamp(due));
    EXPECT_EQ(snooze[0].handle, alarm(3).AlarmHandle);
}

TEST_F(Ringing, BackLeavesTheDialogUpAndAPowerOnStartsTheSoundAgain) {
    start();
    unsigned opens = 0;
    DWORD reset_before = 0;
    EXPECT_EQ(ring(0, {[&](HWND) {
                           opens = fsound_open_count();
                           reset_before = idle_timer_last_reset();
                       },
                       press(VK_TBACK), [](HWND d) { EXPECT_TRUE(is_dialog(d)) << "Back closed the dialog"; },
                       [](HWND) {
                           power_record_on();
                           usleep(2000);
                       },
                       timer(RING_WATCH_TIMER_ID),
                       [&](HWND d) {
                           EXPECT_TRUE(is_dialog(d));
                           EXPECT_EQ(fsound_open_count(), opens + 1) << "the sound was not started again";
                           EXPECT_NE(idle_timer_last_reset(), reset_before) << "the device may fall asleep";
                           EXPECT_NE(SoundPlayer.RingingStream.load(), nullptr);
                       },
                       expect_pitch(DEFAULT_HZ), press(VK_TSOFT2)}),
              RING_STOPPED);
}

// However the ringing ends, the device's volume and profile are as before.
TEST_F(Ringing, TheSilentProfileIsLiftedWhileRingingAndPutBackWithTheVolume) {
    start();
    ringing_use_ticks(read_fake_ticks);
    alarm(0).UseSystemVol = 0;
    alarm(0).Volume = 5;
    const std::vector<Step> ways_out[] = {{press(VK_TSOFT2)},
                                          {press(VK_TSOFT1)},
                                          {[](HWND) { fake_ticks += 300000; }, timer(RING_LIMIT_TIMER_ID)},
                                          {[](HWND) {
                                              PostQuitMessage(0);
                                              driver_done = true;
                                          }}};
    for (const auto &way : ways_out) {
        waveOutSetVolume(nullptr, 0x2222);
        SNDFILEINFO silent = {};
        silent.sstType = SND_SOUNDTYPE_NONE;
        SndSetSound(SND_EVENT_ALL, &silent, TRUE);
        std::vector<Step> s = {[](HWND) {
            EXPECT_FALSE(ProfileIsSilent());
            EXPECT_EQ(GetWaveVolume(), 0x7FFFu);
        }};
        s.insert(s.end(), way.begin(), way.end());
        ring(0, s);
        pump();  // the quit goes on to the outer loop
        EXPECT_TRUE(ProfileIsSilent());
        EXPECT_EQ(GetWaveVolume(), 0x2222u);
    }
    // The countdown rings at the system volume and never touches the profile.
    std::vector<Step> countdown = {[](HWND) {
                                       EXPECT_TRUE(ProfileIsSilent());
                                       EXPECT_EQ(GetWaveVolume(), 0x2222u);
                                   },
                                   expect_pitch(COUNTDOWN_HZ), press(VK_TBACK),
                                   [](HWND d) { EXPECT_TRUE(is_dialog(d)) << "Back closed the dialog"; },
                                   press(VK_TSOFT1)};
    script(countdown);
    EXPECT_EQ(run_countdown_ringing(nullptr, LAYOUT_SMALL), RING_STOPPED);
    EXPECT_EQ(next_step, countdown.size());
}

TEST_F(Ringing, AnAlarmRingsOnTopAndStopArmsItsNextOccurrence) {
    freeze_at(7, 0, 0);
    start();
    alarm(0).AlarmOn = 1;
    schedule_alarm(0, nullptr);
    SYSTEMTIME before, opened;
    GetLocalTime(&before);
    SetWindowTextW(Labels.next_alarm.window, L"the alarm that rings");
    event(0, {[&](HWND d) {
                  GetLocalTime(&opened);
                  EXPECT_TRUE(MainWindow.AlarmRinging);
                  EXPECT_TRUE(plat::window_get(MainWindow.window)->topmost);
                  EXPECT_EQ(GetForegroundWindow(), d);
              },
              press(VK_TSOFT2)});
    EXPECT_GE(clock_ms_from_systemtime(&opened) - clock_ms_from_systemtime(&before), 1000) << "no wait after the beep";
    EXPECT_FALSE(MainWindow.AlarmRinging);
    EXPECT_FALSE(MainWindow.SnoozePending);
    EXPECT_FALSE(plat::window_get(MainWindow.window)->topmost);
    auto next = stored_requests_for(L"/ID:0");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(stamp(next[0].start), "2030-01-16 07:00:00.000");
    // Tomorrow's, in the locale's short day name.
    EXPECT_EQ(text_of(Labels.next_alarm.window).rfind(L"Alarm 1 (07:00 ", 0), 0u) << "the line was not refreshed";
}

TEST_F(Ringing, SnoozeLeavesTheSnoozePendingAndTheSnoozeRingsAgain) {
    start();
    alarm(5).AlarmOn = 1;
    event(5, {press(VK_TSOFT1)});
    EXPECT_TRUE(MainWindow.SnoozePending);
    ASSERT_EQ(stored_requests_for(L"/ID:5").size(), 1u);
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:5")[0].start), "2030-01-15 10:15:11.000");
    bool rang = false;
    event(5, {[&](HWND d) { rang = is_dialog(d); }, press(VK_TSOFT2)});
    EXPECT_TRUE(rang);
    EXPECT_FALSE(MainWindow.SnoozePending);
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:5")[0].start), "2030-01-16 07:00:00.000");
}

// Another alarm while one rings, and any event while silenced, ring
// nothing; what has to come again is armed all the same.
TEST_F(Ringing, QuietEventsOnlyRearm) {
    start();
    alarm(1).AlarmOn = 1;
    alarm(2).AlarmOn = 1;
    int dialogs_seen = 0;
    event(1, {[&](HWND) {
                  PostMessageW(MainWindow.window, MSG_EVENT, 2, 0);
                  PostMessageW(MainWindow.window, MSG_EVENT, EVENT_ID_COUNTDOWN, 0);
              },
              [&](HWND d) {
                  for (HWND h : plat::window_table().top_levels) dialogs_seen += is_dialog(h);
                  EXPECT_EQ(text_of(d), L"Alarm 2");
              }});
    EXPECT_EQ(dialogs_seen, 1);
    EXPECT_EQ(stored_requests_for(L"/ID:2").size(), 1u);

    Settings.Silenced = 1;
    Settings.Chime = 1;
    Settings.Countdown = 1;
    set_mode(MODE_COUNTDOWN);
    alarm(2).AlarmOn = 0;  // switched off while its request waits
    for (WPARAM id : {WPARAM(1), WPARAM(2), WPARAM(EVENT_ID_COUNTDOWN), WPARAM(EVENT_ID_CHIME)})
        event(id, {[](HWND) { ADD_FAILURE() << "rang while silenced"; }});
    EXPECT_EQ(stored_requests_for(L"/ID:2").size(), 0u);
    EXPECT_EQ(alarm(2).AlarmHandle, 0u);
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:1")[0].start), "2030-01-16 07:00:00.000");
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:255")[0].start), "2030-01-15 11:00:01.000");
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_EQ(SoundPlayer.OnceStream.load(), nullptr);
}

TEST_F(Ringing, TheCountdownRingsItsSoundAndStopReturnsToThePlainClock) {
    settings([] {
        Settings.CountdownTime = 10;
        start_countdown(nullptr);
        Settings.Countdown = 1;
        plat::copy_wide(Settings.CountdownSound, MAX_PATH, L"CBuzzer.wav");
    });
    start();
    ASSERT_EQ(MainWindow.mode, MODE_COUNTDOWN);
    event(EVENT_ID_COUNTDOWN, {expect_pitch(COUNTDOWN_HZ), press(VK_TSOFT1)});
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_TRUE(stored_requests_for(L"/ID:254").empty());
    load_settings();
    EXPECT_EQ(Settings.Countdown, 0u);
}

TEST_F(Ringing, AnAlarmDuringACountdownEndsTheCountdownFirst) {
    settings([] {
        Settings.CountdownTime = 10;
        start_countdown(nullptr);
        Settings.Countdown = 1;
    });
    start();
    event(7, {[](HWND) {
              EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
              EXPECT_EQ(Settings.Countdown, 0u);
              EXPECT_TRUE(stored_requests().empty());
          }});
}

TEST_F(Ringing, GivingUpAfterMaxTimeSaysSoAfterTheDialog) {
    settings([] { Settings.MaxTime = 0; });
    start();
    alarm(0).AlarmOn = 1;
    event(0, {timer(RING_LIMIT_TIMER_ID)});
    EXPECT_EQ(journal_boxes(),
              std::vector<std::string>{"[Velmora] The alarm was turned off because the maximum time was reached"});
    EXPECT_EQ(MaxTimeReached, 0);
    EXPECT_EQ(stored_requests_for(L"/ID:0").size(), 1u);
}

TEST_F(Ringing, TheChimeRingsOnceAndArmsTheNextEvenWithoutASoundFile) {
    settings([] {
        Settings.Chime = 1;
        plat::copy_wide(Settings.ChimeSound, MAX_PATH, L"CBell.wav");
    });
    start();
    tone(L"\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav", 330);
    event(EVENT_ID_CHIME, {});
    EXPECT_NE(SoundPlayer.OnceStream.load(), nullptr);
    EXPECT_EQ(stamp(stored_requests_for(L"/ID:255")[0].start), "2030-01-15 11:00:01.000");
    StopOnce();
    CloseOnce();
    ReleaseSoundLibrary();
    unlink(host_file(L"\\IPSM\\Program Files\\Velmora\\sounds\\CBell.wav").c_str());
    event(EVENT_ID_CHIME, {});
    EXPECT_EQ(journal_boxes(), std::vector<std::string>{"[Error] Can't find the chime sound file \\IPSM\\Program "
                                                        "Files\\Velmora\\sounds\\CBell.wav.  Please select a valid "
                                                        "sound file."});
    load_settings();
    EXPECT_EQ(stored_requests_for(L"/ID:255")[0].handle, Settings.ChimeHandle);
}

TEST_F(Ringing, AnIdentifierThatIsNoEventIsJournalledAndIgnored) {
    start();
    for (WPARAM id : {WPARAM(10), WPARAM(253), WPARAM(256), WPARAM(0xFFFFFFFFu)})
        event(id, {[](HWND) { ADD_FAILURE() << "something rang"; }});
    std::ifstream in(root + "/journal.log");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("event: event 10 ignored"), std::string::npos);
    EXPECT_NE(all.find("event: event 4294967295 ignored"), std::string::npos);
    EXPECT_TRUE(stored_requests().empty());
}

}  // namespace

// The main window's start-up, private messages, low-memory release and
// end, in-process. The event dispatch is replaced here by a recorder, so
// that the test sees which events the window hands on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "platform/shell/message_box_testing.h"
#include "app/event_dispatch.h"
#include "app/status_labels.h"
#include "app/window_modes.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/audio_files.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

std::vector<WPARAM> dispatched;

}  // namespace

void dispatch_event(WPARAM id) { dispatched.push_back(id); }

namespace {

const wchar_t ALARM_1[] = L"Software\\Tamsett\\Velmora\\Alarms\\1";

class MainWindowTest : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        dispatched.clear();
        put_dword(ALARM_1, L"AlarmOn", 1);
        put_dword(ALARM_1, L"AThour", 7);
    }
    DWORD stored(const wchar_t *key, const wchar_t *name) {
        DWORD value = 0xDEAD;
        get_dword(key, name, &value);
        return value;
    }
};

TEST_F(MainWindowTest, StartWithoutAnEventArmsEveryAlarmAndShowsTheClock) {
    start();
    EXPECT_TRUE(dispatched.empty());
    EXPECT_NE(alarm_record(1)->AlarmHandle, 0u);
    EXPECT_EQ(stored_requests().size(), 1u);
    EXPECT_EQ(text_of(MainWindow.window), L"Velmora");
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_NE(MainWindow.menu_bar, nullptr);
}

TEST_F(MainWindowTest, StartWithAnEventHandsItToTheLoopAndArmsNothing) {
    start(L"/ID:4");
    EXPECT_EQ(dispatched, std::vector<WPARAM>{4});
    EXPECT_EQ(alarm_record(1)->AlarmHandle, 0u);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(MainWindowTest, AStartThatCannotRegisterItsClassEndsWithZero) {
    register_app_resources();
    WNDCLASSW taken = {};
    taken.lpfnWndProc = DefWindowProcW;
    taken.lpszClassName = L"Velmora";
    ASSERT_TRUE(RegisterClassW(&taken));
    int code = -1;
    EXPECT_FALSE(program_start(nullptr, nullptr, nullptr, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(FindWindowW(L"Velmora", L"Velmora"), nullptr);
}

TEST_F(MainWindowTest, PrivateMessagesSilenceReloadAndPassEventsOn) {
    start();
    PostMessageW(MainWindow.window, MSG_EVENT, 7, 0);
    PostMessageW(MainWindow.window, MSG_SILENCE_ON, 0, 0);
    pump();
    EXPECT_EQ(dispatched, std::vector<WPARAM>{7});
    EXPECT_EQ(Settings.Silenced, 1u);
    EXPECT_EQ(stored(SETTINGS_KEY, L"Silenced"), 1u);
    EXPECT_EQ(stored_requests().size(), 1u);  // silenced alarms stay armed
    SendMessageW(MainWindow.window, MSG_SILENCE_OFF, 0, 0);
    EXPECT_EQ(stored(SETTINGS_KEY, L"Silenced"), 0u);

    put_dword(ALARM_1, L"ATmin", 45);
    put_dword(SETTINGS_KEY, L"ChimeHandle", 77);
    SendMessageW(MainWindow.window, MSG_RELOAD_ALARMS, 0, 0);
    SendMessageW(MainWindow.window, MSG_RELOAD_CHIME, 0, 0);
    EXPECT_EQ(alarm_record(1)->ATmin, 45u);
    EXPECT_EQ(Settings.ChimeHandle, 77u);
    // 0x8002 and 0x8003 belong to the alarm manager's window.
    EXPECT_EQ(SendMessageW(MainWindow.window, MSG_RESERVED, 0, 0), 0);
    EXPECT_EQ(SendMessageW(MainWindow.window, WM_APP + 2, 9, 0), 0);
    EXPECT_EQ(dispatched, std::vector<WPARAM>{7});
}

TEST_F(MainWindowTest, AfterCloseBeganEventsAndSilencingAreIgnoredButReloadsHappen) {
    start();
    HWND window = MainWindow.window;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(MainWindow.Closing);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Labels.date_line.window, nullptr);
    // What a nested loop could still hand the window procedure.
    main_window_proc(window, MSG_EVENT, 3, 0);
    main_window_proc(window, MSG_SILENCE_ON, 0, 0);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(Settings.Silenced, 0u);
    EXPECT_NE(stored(SETTINGS_KEY, L"Silenced"), 1u);
    put_dword(ALARM_1, L"ATmin", 20);
    put_dword(SETTINGS_KEY, L"ChimeHandle", 31);
    main_window_proc(window, MSG_RELOAD_ALARMS, 0, 0);
    main_window_proc(window, MSG_RELOAD_CHIME, 0, 0);
    EXPECT_EQ(alarm_record(1)->ATmin, 20u);
    EXPECT_EQ(Settings.ChimeHandle, 31u);
    main_window_proc(window, MSG_SILENCE_OFF, 0, 0);
    EXPECT_EQ(Settings.Silenced, 0u);
}

// At exit the settings are in the registry before any alarm is armed: the
// first arming's error box finds them there.
DWORD snooze_seen_at_first_box;
int look_at_registry(HWND, LPCWSTR, LPCWSTR, UINT) {
    if (snooze_seen_at_first_box == 0) get_dword(SETTINGS_KEY, L"SnoozeTime", &snooze_seen_at_first_box);
    return IDOK;
}

TEST_F(MainWindowTest, AtExitTheSettingsAreSavedBeforeTheAlarmsAreArmed) {
    start();
    Settings.SnoozeTime = 42;
    alarm_record(1)->Days = 0;  // this alarm cannot be armed: its box shows
    SendMessageW(MainWindow.window, WM_CLOSE, 0, 0);
    pump();
    snooze_seen_at_first_box = 0;
    message_box_set_headless(false);
    message_box_set_presenter(look_at_registry);
    running = false;
    program_end();
    message_box_set_presenter(nullptr);
    message_box_set_headless(true);
    EXPECT_EQ(snooze_seen_at_first_box, 42u);
}

TEST_F(MainWindowTest, LowMemoryReleasesTheImagesAndActivationBringsThemBack) {
    settings([] { Settings.TwentyFourHourTime = 1; });
    freeze_at(10, 0);
    start();
    SendMessageW(MainWindow.window, WM_HIBERNATE, 0, 0);
    EXPECT_FALSE(Images.loaded);
    EXPECT_TRUE(MainWindow.BitmapsReleased);
    // Painting and ticking without images harm nothing.
    InvalidateRect(MainWindow.window, nullptr, TRUE);
    tick_timer();
    freeze_at(10, 1);
    SendMessageW(MainWindow.window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(Images.loaded);
    EXPECT_FALSE(MainWindow.BitmapsReleased);
    EXPECT_EQ(mismatches(slot_rect(SLOT_MINUTE_UNITS), 206), 0);
}

TEST_F(MainWindowTest, TheTickKeepsTheDeviceAwakeOnlyInACountdownThatAsksForIt) {
    settings([] { Settings.CountdownKeepAwake = 1; });
    start();
    DWORD before = idle_timer_last_reset();
    usleep(5000);
    tick_timer();
    EXPECT_EQ(idle_timer_last_reset(), before);  // the plain clock lets it sleep
    MainWindow.mode = MODE_COUNTDOWN;
    tick_timer();
    EXPECT_NE(idle_timer_last_reset(), before);
}

TEST_F(MainWindowTest, TheTickClosesAOneShotSoundOnlyOnceItHasEnded) {
    setenv("VELMORA_AUDIO", "null", 1);
    start();
    std::string file = host("My Documents/ding.wav");
    ASSERT_TRUE(write_wav_tone(file, 0.05, 880));
    ASSERT_TRUE(PlayOnce(L"\\My Documents\\ding.wav"));
    EXPECT_NE(SoundPlayer.OnceStream.load(), nullptr);
    for (int i = 0; i < 300 && !SoundPlayer.OnceEnded; i++) usleep(10000);
    ASSERT_TRUE(SoundPlayer.OnceEnded);
    EXPECT_NE(SoundPlayer.OnceStream.load(), nullptr);  // the end notification only raises the flag
    tick_timer();
    EXPECT_EQ(SoundPlayer.OnceStream.load(), nullptr);
    EXPECT_FALSE(SoundPlayer.OnceEnded);
    ReleaseSoundLibrary();
    unsetenv("VELMORA_AUDIO");
}

}  // namespace

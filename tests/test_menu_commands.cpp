// The soft-key menus: which items each mode offers, and the commands that
// need no dialog (silencing, cancelling a snooze, Exit), in-process.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/menu_commands.h"
#include "app/window_modes.h"
#include "resources/main_resources.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

// Every item of both popups, in one menu.
const UINT ITEMS[] = {
    IDM_START_SLEEP,      IDM_SLEEP_PREV,     IDM_SLEEP_STOP,    IDM_SLEEP_PAUSE, IDM_SLEEP_NEXT, IDM_START_COUNTDOWN,
    IDM_CANCEL_COUNTDOWN, IDM_CHIME,          IDM_CANCEL_SNOOZE, IDM_SILENCE_ALL, IDM_SET_ALARMS, IDM_SET_SNOOZE,
    IDM_GENERAL_SETTINGS, IDM_REBUILD_ALARMS, IDM_ABOUT,         IDM_EXIT};

class MenuStates : public ::testing::Test {
protected:
    void SetUp() override {
        menu = CreatePopupMenu();
        for (UINT id : ITEMS) AppendMenuW(menu, MF_STRING, id, L"item");
        // The two checks start set, so that a cleared one was cleared.
        CheckMenuItem(menu, IDM_SLEEP_PAUSE, MF_CHECKED);
        CheckMenuItem(menu, IDM_SILENCE_ALL, MF_CHECKED);
        saved_mode = MainWindow.mode;
    }
    void TearDown() override {
        DestroyMenu(menu);
        MainWindow.mode = saved_mode;
        MainWindow.SnoozePending = 0;
        SoundPlayer.SleepHead = nullptr;
        SoundPlayer.SleepCurrent = nullptr;
        SleepMode.SleepPaused = 0;
        Settings.Silenced = 0;
    }
    // "e" enabled or "g" grayed, and "c" when checked, for each item.
    std::string states(int mode) {
        MainWindow.mode = mode;
        on_init_menu_popup(menu);
        std::string out;
        for (UINT id : ITEMS) {
            UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
            out += (state & MF_GRAYED) ? "g" : "e";
            if (state & MF_CHECKED) out += "c";
            out += " ";
        }
        return out;
    }
    HMENU menu = nullptr;
    int saved_mode = 0;
};

//                                sleep: start prev stop pause next  countdown: start cancel  chime
//                                snooze silence alarms snooze settings rebuild about exit
TEST_F(MenuStates, ClockModeOffersTheSettingsAndStartsButNoSleepOrCountdownControls) {
    EXPECT_EQ(states(MODE_CLOCK), "e g g g g e g e g e e e e e e e ");
}

TEST_F(MenuStates, SleepModeOffersItsControlsByWhereThePlayListStands) {
    SongNode songs[3] = {};
    songs[0].Next = &songs[1];
    songs[1].Next = &songs[2];
    SoundPlayer.SleepHead = &songs[0];
    SoundPlayer.SleepCurrent = &songs[0];
    EXPECT_EQ(states(MODE_SLEEP), "g g e e e g g e g e g g g g e e ") << "at the first song: no Prev";
    SoundPlayer.SleepCurrent = &songs[2];
    SleepMode.SleepPaused = 1;
    EXPECT_EQ(states(MODE_SLEEP), "g e e ec g g g e g e g g g g e e ") << "paused at the last song: no Next";
    songs[0].Next = nullptr;
    SoundPlayer.SleepCurrent = &songs[0];
    SleepMode.SleepPaused = 0;
    EXPECT_EQ(states(MODE_SLEEP), "g g e e g g g e g e g g g g e e ") << "one song: neither";
}

TEST_F(MenuStates, CountdownModeOffersOnlyItsCancelAndSnoozeAndSilenceKeepTheirOwnStates) {
    MainWindow.SnoozePending = 1;
    Settings.Silenced = 1;
    EXPECT_EQ(states(MODE_COUNTDOWN), "g g g g g g e e e ec g g g g e e ");
}

class MenuCommands : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\4", L"AlarmOn", 1);
    }
    void command(UINT id) {
        SendMessageW(MainWindow.window, WM_COMMAND, id, 0);
        pump();
    }
};

TEST_F(MenuCommands, SilenceTogglesSavesAndReArmsAndDrawsTheBell) {
    start();
    DWORD first = alarm_record(4)->AlarmHandle;
    command(IDM_SILENCE_ALL);
    DWORD silenced = 0;
    get_dword(SETTINGS_KEY, L"Silenced", &silenced);
    EXPECT_EQ(silenced, 1u);
    EXPECT_EQ(mismatches(bell_rect(), Layout.bell_id), 0) << "the bell shows at once";
    command(IDM_SILENCE_ALL);
    get_dword(SETTINGS_KEY, L"Silenced", &silenced);
    EXPECT_EQ(silenced, 0u);
    EXPECT_EQ(mismatches(bell_rect(), 0), 0) << "and goes again";
    EXPECT_EQ(alarm_record(4)->AlarmHandle, first) << "re-armed in place, twice";
    EXPECT_EQ(stored_requests().size(), 1u);
}

TEST_F(MenuCommands, CancelSnoozeReplacesTheSnoozeByTheNextOccurrence) {
    start();
    snooze_alarm(4);
    MainWindow.SnoozePending = 1;
    ASSERT_EQ(stamp(stored_requests().at(0).start), "2030-01-15 10:15:10.000");
    command(IDM_CANCEL_SNOOZE);
    EXPECT_EQ(MainWindow.SnoozePending, 0);
    ASSERT_EQ(stored_requests().size(), 1u);
    EXPECT_EQ(stamp(stored_requests()[0].start), "2030-01-16 07:00:00.000");
}

TEST_F(MenuCommands, ExitClosesTheWindowAndQuitsAndOtherCommandsPassOn) {
    start();
    EXPECT_EQ(SendMessageW(MainWindow.window, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 1), 0), 0);
    EXPECT_FALSE(MainWindow.Closing) << "a command with a notification code is not a menu command";
    HWND window = MainWindow.window;
    SendMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(MainWindow.Closing);
    EXPECT_FALSE(IsWindow(window));
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit |= msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
}

}  // namespace

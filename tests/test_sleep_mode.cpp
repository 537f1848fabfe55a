// Sleep music from the clock's menu, in-process on a frozen Tuesday
// 2030-01-15 10:00:10 with the null output: the Sleep dialog (what it shows,
// what it stores, what it refuses), and the Sleep mode (the lines under the
// face, the time left, pausing, stepping, its end, and what ends it early).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "app/status_labels.h"
#include "app/window_modes.h"
#include "dialogs/dialogs.h"
#include "platform/device/clock_testing.h"
#include "platform/device/idle_timer.h"
#include "platform/screen/screen.h"
#include "platform/shell/menu_internal.h"
#include "resources/dialog_resources.h"
#include "resources/main_resources.h"
#include "resources/ringing_resources.h"
#include "sound/song_list.h"
#include "sound/sound_player.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/app_window.h"
#include "tests/support/audio_files.h"
#include "tests/support/dialog_script.h"
#include "tests/support/heard_output.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"

namespace {

const wchar_t NIGHT[] = L"\\My Documents\\Music\\Night";
constexpr double SONG_HZ[] = {500, 1000, 2000};
constexpr ULONGLONG FT_SECOND = 10000000ULL;

class SleepMusic : public AppWindow {
protected:
    void SetUp() override {
        AppWindow::SetUp();
        setenv("VELMORA_AUDIO", "null", 1);
        plat::screen_ensure();
        recorder = std::make_unique<BoxRecorder>();
        listen_to_output(true);
    }
    void TearDown() override {
        AppWindow::TearDown();
        listen_to_output(false);
        recorder.reset();
        clock_set_virtual_sleep(false);
        EXPECT_EQ(SoundPlayer.LibraryUsers, 0) << "sleep left the library held";
        EXPECT_EQ(SleepMode.SleepList, nullptr) << "sleep left its songs behind";
        unsetenv("VELMORA_AUDIO");
    }
    // Three tagged songs of `seconds` each, song k at SONG_HZ[k].
    void night_songs(double seconds) {
        const char *titles[] = {"Rain", "Wind", "Waves"};
        for (int k = 0; k < 3; k++) {
            std::string tag = id3v2_tag({{"TIT2", std::string(1, '\0') + titles[k]},
                                         {"TPE1", std::string(1, '\0') + "Ann Lee"},
                                         {"TALB", std::string(1, '\0') + "Night Songs"}});
            std::string name = "My Documents/Music/Night/" + std::to_string(k + 1) + " " + titles[k] + ".mp3";
            ASSERT_TRUE(write_tagged_mp3(host_with_folders(name), tag, seconds, SONG_HZ[k]));
        }
    }
    void sleep_settings(const wchar_t *path, DWORD kind, DWORD minutes, DWORD timed) {
        settings([=] {
            swprintf(Settings.SleepPath, MAX_PATH, L"%ls", path);
            Settings.SleepPathType = kind;
            Settings.SleepTime = minutes;
            Settings.TimedSleep = timed;
        });
    }
    void command(UINT id) {
        SendMessageW(MainWindow.window, WM_COMMAND, id, 0);
        pump();
    }
    // Start Sleep, with `steps` run in the dialog.
    void start_sleep_with(std::vector<DialogStep> steps) {
        script_dialogs(std::move(steps));
        command(IDM_START_SLEEP);
        EXPECT_TRUE(script_done()) << "the dialog never reached every step";
    }
    void sleep_now() { start_sleep_with({press(L"Sleep", IDC_SLEEP)}); }
    // The clock started with that sleep stored, and Sleep pressed at once;
    // true when the music plays.
    bool sleep_on(const wchar_t *path, DWORD kind, DWORD minutes, DWORD timed) {
        sleep_settings(path, kind, minutes, timed);
        start();
        sleep_now();
        return MainWindow.mode == MODE_SLEEP;
    }
    std::wstring item_text(HWND dialog, int id) {
        WCHAR text[MAX_PATH] = L"";
        GetDlgItemTextW(dialog, id, text, MAX_PATH);
        return text;
    }
    // Moves the frozen clock on from 10:00:10 by the time passed so far.
    void advance(int minutes, int seconds = 0) {
        now_s += minutes * 60 + seconds;
        SYSTEMTIME t = local_time(2030, 1, 15, 10, 0, 10);
        FILETIME ft;
        SystemTimeToFileTime(&t, &ft);
        ULONGLONG v = ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) + ULONGLONG(now_s) * FT_SECOND;
        ft = {DWORD(v), DWORD(v >> 32)};
        FileTimeToSystemTime(&ft, &t);
        clock_freeze_local(&t);
    }
    std::wstring time_left() { return text_of(Labels.time_left.window); }
    // Polls the device journal, where every box is written on whichever
    // thread raised it, until `text` was shown; false after `seconds`.
    bool journal_shows(const std::string &text, double seconds) {
        for (int waited_ms = 0; waited_ms < seconds * 1000; waited_ms += 20) {
            std::ifstream in(root + "/journal.log");
            for (std::string line; std::getline(in, line);)
                if (line.find(text) != std::string::npos) return true;
            usleep(20000);
        }
        return false;
    }
    std::vector<SeenBox> &boxes() { return recorder->boxes; }
    long now_s = 0;  // seconds since 10:00:10
    std::unique_ptr<BoxRecorder> recorder;
};

bool sleep_key_enabled() { return SendMessageW(plat::menubar_of_foreground(), TB_ISBUTTONENABLED, IDC_SLEEP, 0) != 0; }

void click_in(HWND d, int id) { SendMessageW(GetDlgItem(d, id), BM_CLICK, 0, 0); }

void choose_source(HWND d, int index) { SendDlgItemMessageW(d, IDC_SLEEP_SOURCE, CB_SETCURSEL, WPARAM(index), 0); }

void spin_to_zero(HWND d) {
    for (int id : {IDC_HOURS, IDC_TENS, IDC_UNITS}) SetDlgItemTextW(d, id, L"0");
}

// The dialog opens with what is stored, whatever it is.
TEST_F(SleepMusic, TheDialogShowsTheStoredSourceButOffersFoldersFirstAndCutsALongName) {
    sleep_settings(L"\\My Documents\\Lists\\Songs for a long and quiet night by the sea.asx", SLEEP_SOURCE_PLAYLIST, 45,
                   1);
    start();
    std::wstring kind, name, spinner;
    LRESULT source = -1;
    bool enabled = false, timed = false;
    start_sleep_with({in_dialog(L"Sleep", [&](HWND d) {
        kind = item_text(d, IDC_SLEEP_KIND);
        name = item_text(d, IDC_SLEEP_NAME);
        spinner = item_text(d, IDC_HOURS) + L":" + item_text(d, IDC_TENS) + item_text(d, IDC_UNITS);
        source = SendDlgItemMessageW(d, IDC_SLEEP_SOURCE, CB_GETCURSEL, 0, 0);
        enabled = sleep_key_enabled();
        timed = IsDlgButtonChecked(d, IDC_SLEEP_TIMED) == BST_CHECKED;
        HWND field = GetDlgItem(d, IDC_SLEEP_NAME);
        HDC dc = GetDC(field);
        SIZE size;
        GetTextExtentPoint32W(dc, name.c_str(), int(name.size()), &size);
        ReleaseDC(field, dc);
        RECT client;
        GetClientRect(field, &client);
        EXPECT_LE(size.cx, client.right) << "the cut name still does not fit";
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    })});
    EXPECT_EQ(kind, L"Playlist:");
    EXPECT_EQ(source, 0) << "the drop-down shows Folder whatever is stored";
    ASSERT_GT(name.size(), 4u);
    EXPECT_EQ(name.substr(name.size() - 3), L"...");
    EXPECT_EQ(std::wstring(L"Songs for a long and quiet night by the sea.asx").find(name.substr(0, name.size() - 3)),
              0u);
    EXPECT_EQ(spinner, L"0:45");
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(timed);
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK) << "Cancel starts nothing";
}

TEST_F(SleepMusic, WithNothingChosenSleepIsDisabledAndRefusedWithTheMessage) {
    sleep_settings(L"", SLEEP_SOURCE_FOLDER, 30, 0);
    start();
    std::wstring name;
    bool enabled = true, until_end = false;
    start_sleep_with({in_dialog(L"Sleep",
                                [&](HWND d) {
                                    name = item_text(d, IDC_SLEEP_NAME);
                                    enabled = sleep_key_enabled();
                                    until_end = IsDlgButtonChecked(d, IDC_SLEEP_UNTIL_END) == BST_CHECKED;
                                    // The key is grayed; the command sent anyway walks nothing.
                                    SendMessageW(d, WM_COMMAND, IDC_SLEEP, 0);
                                }),
                      press(L"Sleep", IDCANCEL)});
    EXPECT_EQ(name, L"No Sounds Selected");
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(until_end);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"No supported sound files were found");
    EXPECT_EQ(boxes()[0].caption, L"Velmora");
    EXPECT_EQ(boxes()[0].type & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

TEST_F(SleepMusic, AFilePickedAndThenCancelledIsStoredAndSaved) {
    ASSERT_TRUE(write_wav_tone(host_with_folders("My Documents/Music/Brook.wav"), 0.5, 700));
    sleep_settings(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1);
    start();
    std::wstring kind, name;
    bool enabled = false;
    start_sleep_with({in_dialog(L"Sleep",
                                [](HWND d) {
                                    choose_source(d, 1);
                                    click_in(d, IDC_SLEEP_SELECT);
                                }),
                      press(L"Select Sound", IDC_SELECT), in_dialog(L"Sleep", [&](HWND d) {
                          kind = item_text(d, IDC_SLEEP_KIND);
                          name = item_text(d, IDC_SLEEP_NAME);
                          enabled = sleep_key_enabled();
                          SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                      })});
    EXPECT_EQ(kind, L"File:");
    EXPECT_EQ(name, L"Brook.wav");
    EXPECT_TRUE(enabled);
    std::wstring stored;
    DWORD type = 9;
    get_text(SETTINGS_KEY, L"SleepPath", &stored);
    get_dword(SETTINGS_KEY, L"SleepPathType", &type);
    EXPECT_EQ(stored, L"\\My Documents\\Music\\Brook.wav");
    EXPECT_EQ(type, DWORD(SLEEP_SOURCE_FILE));
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

// Random bytes and a list of missing songs give nothing to play: each is
// refused at Select, the stored choice kept; a list with one song is taken.
TEST_F(SleepMusic, APlaylistIsTakenOnlyWhenItNamesASongThatPlays) {
    std::ofstream(host_with_folders("My Documents/noise.asx"), std::ios::binary)
        << std::string("\x8f\x01<A\xffSX\x00>>", 10);
    std::ofstream(host_with_folders("My Documents/gone.asx"))
        << "<ASX version=\"3.0\"><ENTRY><REF HREF=\"\\My Documents\\nowhere.mp3\"/></ENTRY></ASX>";
    sleep_settings(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1);
    start();
    auto pick = [this](int row) {
        std::wstring kind;
        start_sleep_with({in_dialog(L"Sleep",
                                    [](HWND d) {
                                        choose_source(d, 2);
                                        click_in(d, IDC_SLEEP_SELECT);
                                    }),
                          in_dialog(L"Select Sound",
                                    [row](HWND d) {
                                        SendMessageW(GetDlgItem(d, IDC_SOUND_LIST), LVM_SETSELECTIONMARK, 0, row);
                                        SendMessageW(d, WM_COMMAND, IDC_SELECT, 0);
                                    }),
                          in_dialog(L"Sleep", [&](HWND d) {
                              kind = item_text(d, IDC_SLEEP_KIND);
                              SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                          })});
        return kind;
    };
    EXPECT_EQ(pick(1), L"Folder:");  // noise.asx, listed after gone.asx
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0].text, L"This does not appear to be a valid playlist file");
    EXPECT_EQ(boxes()[1].text, L"No supported sound files were found");
    EXPECT_EQ(pick(0), L"Folder:");
    ASSERT_EQ(boxes().size(), 3u) << "a valid list of missing songs says nothing itself";
    EXPECT_EQ(boxes()[2].text, L"No supported sound files were found");
    EXPECT_STREQ(Settings.SleepPath, NIGHT);
    EXPECT_EQ(Settings.SleepPathType, DWORD(SLEEP_SOURCE_FOLDER));

    ASSERT_TRUE(write_wav_tone(host_with_folders("My Documents/Brook.wav"), 0.5, 700));
    std::ofstream(host_with_folders("My Documents/gone.asx"), std::ios::app)
        << "<ASX><ENTRY><REF HREF=\"\\My Documents\\Brook.wav\"/></ENTRY></ASX>";
    EXPECT_EQ(pick(0), L"Playlist:");
    EXPECT_STREQ(Settings.SleepPath, L"\\My Documents\\gone.asx");
    EXPECT_EQ(Settings.SleepPathType, DWORD(SLEEP_SOURCE_PLAYLIST));
}

TEST_F(SleepMusic, AZeroTimeIsRefusedWhicheverWayTheMusicStops) {
    night_songs(0.3);
    sleep_settings(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1);
    start();
    std::wstring still;
    start_sleep_with({in_dialog(L"Sleep",
                                [](HWND d) {
                                    click_in(d, IDC_SLEEP_UNTIL_END);
                                    spin_to_zero(d);
                                    SendMessageW(d, WM_COMMAND, IDC_SLEEP, 0);
                                }),
                      in_dialog(L"Sleep", [&](HWND d) {
                          still = L"open";
                          SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
                      })});
    EXPECT_EQ(still, L"open");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"The sleep time must be greater than zero");
    EXPECT_EQ(boxes()[0].caption, L"Error");
    EXPECT_EQ(boxes()[0].type & MB_ICONMASK, 0u);
    EXPECT_EQ(boxes()[0].owner, nullptr);
    EXPECT_EQ(Settings.SleepTime, 30u) << "nothing stored";
    EXPECT_EQ(Settings.TimedSleep, 1u);
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

TEST_F(SleepMusic, TimedSleepShowsTheSongAndTheTimeLeftAndEndsAfterItsMinutes) {
    night_songs(3.0);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    EXPECT_NEAR(pitch_heard(), SONG_HZ[0], SONG_HZ[0] * 0.05);
    DWORD awake = idle_timer_last_reset();
    usleep(5000);
    tick_timer();
    EXPECT_NE(idle_timer_last_reset(), awake) << "sleep music keeps the device awake";
    EXPECT_EQ(text_of(Labels.title_line.window), L"Rain");
    EXPECT_EQ(text_of(Labels.artist_line.window), L"Ann Lee - Night Songs");
    EXPECT_EQ(time_left(), L"00:30");
    advance(29, 59);  // 59 seconds beyond the minutes chosen: one minute shows
    tick_timer();
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP);
    EXPECT_EQ(time_left(), L"00:01");
    advance(0, 1);
    tick_timer();
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
    EXPECT_EQ(SoundPlayer.SleepStream.load(), nullptr);
    EXPECT_EQ(Labels.title_line.window, nullptr) << "the clock's lines are back";
    EXPECT_NE(Labels.next_alarm.window, nullptr);
}

TEST_F(SleepMusic, PausingHoldsTheTimeLeftAndMovesTheEndByThePause) {
    night_songs(3.0);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    advance(5);
    tick_timer();
    ASSERT_EQ(time_left(), L"00:25");
    command(IDM_SLEEP_PAUSE);
    ASSERT_TRUE(SleepMode.SleepPaused);
    forget_heard();
    usleep(300000);
    EXPECT_LT(loud_samples_heard(), 22050u / 20) << "the music goes on while paused";
    // Forty minutes paused: past the old end, yet sleep goes on and the
    // time left blinks unchanged with the colon.
    std::set<std::wstring> shown;
    for (int i = 0; i < 4; i++) {
        advance(10);
        DWORD awake = idle_timer_last_reset();
        usleep(2000);
        tick_timer();
        EXPECT_NE(idle_timer_last_reset(), awake) << "paused music keeps the device awake too";
        shown.insert(time_left());
        EXPECT_EQ(text_of(Labels.title_line.window).empty(), time_left().empty()) << "the lines blink together";
    }
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP);
    EXPECT_EQ(shown, (std::set<std::wstring>{L"", L"00:25"}));
    command(IDM_SLEEP_PAUSE);
    EXPECT_FALSE(SleepMode.SleepPaused);
    EXPECT_EQ(text_of(Labels.title_line.window), L"Rain");
    EXPECT_NEAR(pitch_heard(), SONG_HZ[0], SONG_HZ[0] * 0.05) << "the song goes on where it was";
    advance(24, 59);
    tick_timer();
    EXPECT_EQ(time_left(), L"00:01");
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP);
    advance(0, 1);
    tick_timer();
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK) << "the end moved on by the forty minutes paused";
}

TEST_F(SleepMusic, NextAndPrevResumeAPausedListAndStepThroughTheSongs) {
    clock_set_virtual_sleep(true);
    night_songs(3.0);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 10, 0));
    EXPECT_EQ(Labels.time_left.window, nullptr) << "no time left without timed sleep";
    command(IDM_SLEEP_PAUSE);
    command(IDM_SLEEP_NEXT);
    EXPECT_FALSE(SleepMode.SleepPaused);
    tick_timer();
    EXPECT_EQ(text_of(Labels.title_line.window), L"Wind");
    forget_heard();
    EXPECT_NEAR(pitch_heard(), SONG_HZ[1], SONG_HZ[1] * 0.05);
    command(IDM_SLEEP_NEXT);
    command(IDM_SLEEP_PREV);
    tick_timer();
    EXPECT_EQ(text_of(Labels.title_line.window), L"Wind");
    command(IDM_SLEEP_PREV);
    tick_timer();
    EXPECT_EQ(text_of(Labels.title_line.window), L"Rain");
    EXPECT_EQ(SoundPlayer.SleepCurrent.load(), SoundPlayer.SleepHead);
    command(IDM_SLEEP_STOP);
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

// A song that will not open in six tries: its message, and the clock as it was.
TEST_F(SleepMusic, AFileThatIsNoSoundLeavesTheClockAndTheLibraryFree) {
    clock_set_virtual_sleep(true);
    std::ofstream(host_with_folders("My Documents/fake.mp3")) << std::string(4096, 'x');
    EXPECT_FALSE(sleep_on(L"\\My Documents\\fake.mp3", SLEEP_SOURCE_FILE, 10, 1));
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().text, L"Unable to play sound!");
    EXPECT_EQ(SoundPlayer.SleepHead, nullptr);
}

TEST_F(SleepMusic, AnAlarmFallingDueStopsTheMusicBeforeItRings) {
    clock_set_virtual_sleep(true);
    night_songs(3.0);
    ASSERT_TRUE(write_wav_tone(host_with_folders("IPSM/Program Files/Velmora/sounds/buzz.wav"), 3.0, 440));
    put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AlarmOn", 1);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    int mode_at_ring = -1;
    FSOUND_STREAM *sleep_at_ring = nullptr;
    script_dialogs({in_dialog(L"Alarm 1", [&](HWND d) {
        mode_at_ring = MainWindow.mode;
        sleep_at_ring = SoundPlayer.SleepStream;
        SendMessageW(d, WM_COMMAND, IDC_RING_STOP, 0);
    })});
    SendMessageW(MainWindow.window, MSG_EVENT, 0, 0);
    pump();
    EXPECT_TRUE(script_done()) << "the alarm did not ring";
    EXPECT_EQ(mode_at_ring, MODE_CLOCK);
    EXPECT_EQ(sleep_at_ring, nullptr);
}

TEST_F(SleepMusic, ExitStopsTheMusicBeforeTheWindowGoes) {
    night_songs(3.0);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(MainWindow.window));
    EXPECT_EQ(SoundPlayer.SleepStream.load(), nullptr);
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

// Commands that arrive while their items are grayed (from another program,
// say) change nothing: no second mode, no step through songs that are gone.
TEST_F(SleepMusic, CommandsOutsideTheirModeDoNothing) {
    night_songs(3.0);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    for (UINT id : {IDM_START_COUNTDOWN, IDM_START_SLEEP}) {
        // Runs at the first loop turn: inside a dialog, had one opened.
        std::wstring front;
        script_dialogs({[&](HWND w) {
            WCHAR title[64] = L"";
            GetWindowTextW(w, title, 64);
            front = title;
            if (w != MainWindow.window) SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
            return true;
        }});
        command(id);
        EXPECT_EQ(front, L"Velmora") << "a dialog opened in the Sleep mode";
    }
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP);
    command(IDM_SLEEP_STOP);
    ASSERT_EQ(MainWindow.mode, MODE_CLOCK);
    for (UINT id : {IDM_SLEEP_NEXT, IDM_SLEEP_PREV, IDM_SLEEP_PAUSE, IDM_SLEEP_STOP}) command(id);
    EXPECT_FALSE(SleepMode.SleepPaused);
    EXPECT_EQ(SoundPlayer.SleepStream.load(), nullptr);
    EXPECT_EQ(SoundPlayer.LibraryUsers, 0);
}

// Bad input while the music plays: nothing crashes or hangs. A song that
// will not open says so, stays current, and the next step goes on.
TEST_F(SleepMusic, ASongThatIsNoSoundInTheMiddleSaysSoAndNextGoesOn) {
    night_songs(3.0);
    ASSERT_TRUE(write_tagged_mp3(host_with_folders("My Documents/Music/Night/1 Rain.mp3"), "", 0.3, SONG_HZ[0]));
    std::ofstream(host_with_folders("My Documents/Music/Night/2 Wind.mp3")) << std::string(50000, '\x55');
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 1));
    ASSERT_TRUE(journal_shows("[Error] Unable to play sound!", 6.0));
    tick_timer();
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP);
    command(IDM_SLEEP_NEXT);
    forget_heard();
    EXPECT_NEAR(pitch_heard(), SONG_HZ[2], SONG_HZ[2] * 0.05);
    tick_timer();
    EXPECT_EQ(text_of(Labels.title_line.window), L"Waves");
}

TEST_F(SleepMusic, AFolderDeletedWhileItPlaysSaysSoAndStopStillEndsIt) {
    night_songs(0.4);
    ASSERT_TRUE(sleep_on(NIGHT, SLEEP_SOURCE_FOLDER, 30, 0));
    remove_tree(host("My Documents/Music/Night"));
    ASSERT_TRUE(journal_shows("[Error] Unable to play sound!", 6.0));
    tick_timer();
    EXPECT_EQ(MainWindow.mode, MODE_SLEEP) << "the missing song stays current";
    command(IDM_SLEEP_STOP);
    EXPECT_EQ(MainWindow.mode, MODE_CLOCK);
}

TEST_F(SleepMusic, ATitleOfTenMegabytesIsCutAndTheSongPlays) {
    std::string title(10 << 20, 'a');
    ASSERT_TRUE(
        write_tagged_mp3(host_with_folders("My Documents/Long.mp3"), id3v2_tag({{"TIT2", '\0' + title}}), 2.0, 700));
    ASSERT_TRUE(sleep_on(L"\\My Documents\\Long.mp3", SLEEP_SOURCE_FILE, 30, 1));
    EXPECT_NEAR(pitch_heard(), 700, 35);
    tick_timer();
    std::wstring shown = text_of(Labels.title_line.window);
    EXPECT_LE(wcslen(SoundPlayer.SongTitle), size_t(SONG_TEXT_CHARS));
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown == L"Long.mp3" || shown.substr(shown.size() - 3) == L"...")
        << "shown: " << plat::to_utf8(shown.c_str());
}

}  // namespace

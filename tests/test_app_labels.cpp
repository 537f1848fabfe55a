// The status lines under the face: the next alarm, the date line and the
// Internet time, the sleep lines and their pause blink, and the cutting of
// a text to a label's width. Texts are checked in the C locale.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/device/clock_testing.h"
#include "app/local_time.h"
#include "sound/sound_player.h"
#include "app/status_labels.h"
#include "app/window_modes.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/app_window.h"

namespace {

class Labels_ : public AppWindow {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C", 1);
        AppWindow::SetUp();
        freeze_at(6, 0);  // Tuesday 15 January 2030
    }
    void enable(int index, int hour, int minute, const wchar_t *name) {
        AlarmRecord *a = alarm_record(index);
        a->AlarmOn = 1;
        a->AThour = DWORD(hour);
        a->ATmin = DWORD(minute);
        swprintf(a->AlarmName, ALARM_NAME_CHARS, L"%ls", name);
    }
    std::wstring next_alarm_line() {
        refresh_next_alarm();
        return text_of(Labels.next_alarm.window);
    }
    // In the main window's client area.
    RECT rect_of(HWND label) {
        RECT r, main;
        GetWindowRect(label, &r);
        GetWindowRect(MainWindow.window, &main);
        OffsetRect(&r, -main.left, -main.top);
        return r;
    }
    LOGFONTW font_of(const StatusLabel &label) {
        LOGFONTW lf = {};
        GetObjectW(label.font, sizeof lf, &lf);
        return lf;
    }
    int width_in_font(HWND label, const std::wstring &text) {
        HDC dc = GetDC(label);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
        ReleaseDC(label, dc);
        return int(size.cx);
    }
    std::wstring shortened(HWND label, const std::wstring &text) {
        WCHAR out[300];
        shorten_to_width(label, text.c_str(), out, 300);
        return out;
    }
    void enter_timed_sleep(int minutes) {
        Settings.TimedSleep = 1;
        set_mode(MODE_SLEEP);
        SleepMode.SleepEndTime = local_file_time_now() + ULONGLONG(minutes * 60 + 59) * 10000000ULL;
    }
};

TEST_F(Labels_, NextAlarmLineNamesTheAlarmItsTimeAndItsDay) {
    start();
    EXPECT_EQ(next_alarm_line(), L"No Pending Alarms");
    enable(2, 7, 30, L"");
    EXPECT_EQ(next_alarm_line(), L"Alarm 3 (07:30 Today)");
    enable(2, 7, 30, L"Untitled");
    EXPECT_EQ(next_alarm_line(), L"Alarm 3 (07:30 Today)");
    enable(2, 7, 30, L"Ten chars!");
    EXPECT_EQ(next_alarm_line(), L"Ten chars! (07:30 Today)");
    enable(2, 7, 30, L"Eleven char");
    EXPECT_EQ(next_alarm_line(), L"Eleven cha... (07:30 Today)");
    // An earlier one that has passed today rings first tomorrow.
    enable(4, 5, 45, L"Early");
    EXPECT_EQ(next_alarm_line(), L"Eleven cha... (07:30 Today)");
    alarm_record(2)->AlarmOn = 0;
    EXPECT_EQ(next_alarm_line(), L"Early (05:45 Wed)");
}

// At midnight "Today" and the day names move on with the date line.
TEST_F(Labels_, TheNextAlarmLineFollowsANewDay) {
    start();
    enable(2, 7, 30, L"");
    EXPECT_EQ(next_alarm_line(), L"Alarm 3 (07:30 Today)");
    SetWindowTextW(Labels.next_alarm.window, L"yesterday's");
    SYSTEMTIME wednesday = {2030, 1, 3, 16, 0, 0, 1, 0};
    clock_freeze_local(&wednesday);
    tick_timer();
    EXPECT_EQ(text_of(Labels.date_line.window), L"Wednesday, Jan 16");
    EXPECT_EQ(text_of(Labels.next_alarm.window), L"Alarm 3 (07:30 Today)");
}

TEST_F(Labels_, DateLineAndInternetTimeShareTheRowUnlessInternetTimeIsOff) {
    start();
    EXPECT_EQ(text_of(Labels.date_line.window), L"Tuesday, Jan 15");
    RECT date = rect_of(Labels.date_line.window), itime = rect_of(Labels.internet_time.window);
    EXPECT_EQ(date.left, Layout.face_left);
    EXPECT_EQ(date.top, Layout.face_bottom + 8);
    EXPECT_EQ(date.right - date.left, Layout.face_width - 70);
    EXPECT_EQ(font_of(Labels.date_line).lfHeight, -10);  // 8 pt at 96 pixels an inch
    EXPECT_EQ(font_of(Labels.date_line).lfWeight, FW_BOLD);
    EXPECT_EQ(itime.left, Layout.face_left + Layout.face_width - 70);
    EXPECT_EQ(font_of(Labels.internet_time).lfHeight, -21);
    EXPECT_STREQ(font_of(Labels.internet_time).lfFaceName, L"Tahoma");
    stop();
    UnregisterClassW(L"Velmora", nullptr);

    settings([] { Settings.ShowITime = 0; });
    start();
    EXPECT_EQ(Labels.internet_time.window, nullptr);
    date = rect_of(Labels.date_line.window);
    EXPECT_EQ(date.top, Layout.face_bottom);
    EXPECT_EQ(date.right - date.left, Layout.face_width);
    EXPECT_EQ(font_of(Labels.date_line).lfHeight, -16);  // 12 pt
    EXPECT_EQ(text_of(Labels.date_line.window), L"Tuesday, Jan 15");
    // The date changes at midnight, and only then is the line written.
    freeze_at(23, 59, 59);
    tick_timer();
    EXPECT_EQ(text_of(Labels.date_line.window), L"Tuesday, Jan 15");
    SYSTEMTIME next = {};
    next.wYear = 2030, next.wMonth = 1, next.wDay = 16, next.wSecond = 1;
    clock_freeze_local(&next);
    tick_timer();
    EXPECT_EQ(text_of(Labels.date_line.window), L"Wednesday, Jan 16");
}

TEST_F(Labels_, TheNextAlarmLineShowsWholeWhereTheInternetTimesBoxReachesIntoIt) {
    start();
    SetWindowTextW(Labels.next_alarm.window, L"Monday Monday Monday Monday Monday");
    InvalidateRect(MainWindow.window, nullptr, FALSE);
    pump();
    RECT itime = rect_of(Labels.internet_time.window), line = rect_of(Labels.next_alarm.window), both;
    ASSERT_TRUE(IntersectRect(&both, &itime, &line));
    int ink = 0;
    for (int y = int(both.top); y < int(both.bottom); y++)
        for (int x = int(both.left); x < int(both.right); x++) ink += pixel(x, y) != RGB(0, 0, 0);
    EXPECT_GT(ink, 0);
}

TEST_F(Labels_, ShortenToWidthCutsAtTheLastCharacterThatStillFitsInTheLabelsFont) {
    Settings.TimedSleep = 1;
    start();
    set_mode(MODE_SLEEP);
    HWND title = Labels.title_line.window;
    RECT client;
    GetClientRect(title, &client);
    int width = int(client.right);
    EXPECT_EQ(shortened(title, L"Rain"), L"Rain");
    std::wstring text = L"The Longest Night of the Year, Live at the Harbour";
    std::wstring cut = shortened(title, text);
    ASSERT_GT(cut.size(), 3u);
    ASSERT_EQ(cut.substr(cut.size() - 3), L"...");
    size_t kept = cut.size() - 3;
    EXPECT_EQ(cut.substr(0, kept), text.substr(0, kept));
    EXPECT_LE(width_in_font(title, cut), width);
    EXPECT_GT(width_in_font(title, text.substr(0, kept + 1) + L"..."), width);
    // When not even one character fits, the text is left whole.
    MoveWindow(title, 0, 0, 4, 20, FALSE);
    EXPECT_EQ(shortened(title, text), text);
}

// What the sound player leaves when it has opened a song.
void song_opened(const wchar_t *title, const wchar_t *artist, const wchar_t *album) {
    swprintf(SoundPlayer.SongTitle, SONG_TEXT_CHARS + 1, L"%ls", title);
    swprintf(SoundPlayer.SongArtist, SONG_TEXT_CHARS + 1, L"%ls", artist);
    swprintf(SoundPlayer.SongAlbum, SONG_TEXT_CHARS + 1, L"%ls", album);
    SoundPlayer.SongChanged = 1;
}

TEST_F(Labels_, SleepLinesShowTheSongAndTimeLeftAndBlinkWhilePaused) {
    start();
    enter_timed_sleep(30);
    EXPECT_EQ(Labels.date_line.window, nullptr);
    EXPECT_EQ(text_of(Labels.time_left.window), L"00:00");
    song_opened(L"rain.wav", L"<Artist Unknown>", L"");
    tick_timer();
    EXPECT_EQ(text_of(Labels.title_line.window), L"rain.wav");
    EXPECT_EQ(text_of(Labels.artist_line.window), L"<Artist Unknown>");
    EXPECT_EQ(text_of(Labels.time_left.window), L"00:30");
    song_opened(L"Tide", L"Harbour Band", L"Shore");
    tick_timer();
    EXPECT_EQ(text_of(Labels.artist_line.window), L"Harbour Band - Shore");

    SleepMode.SleepPaused = 1;
    bool hidden_seen = false, shown_seen = false;
    for (int i = 0; i < 4; i++) {
        freeze_at(6, 10 * (i + 1));  // time passes, but not for paused sleep
        tick_timer();
        bool hidden = Cache.colon_phase == 0;
        hidden_seen |= hidden;
        shown_seen |= !hidden;
        EXPECT_EQ(text_of(Labels.title_line.window), hidden ? L"" : L"Tide");
        EXPECT_EQ(text_of(Labels.time_left.window), hidden ? L"" : L"00:30");
    }
    EXPECT_TRUE(hidden_seen && shown_seen);
}

TEST_F(Labels_, SleepSetWithoutTimedSleepHasNoTimeLeftAndWiderLines) {
    start();
    Settings.TimedSleep = 0;
    SleepMode.SleepPaused = 1;
    set_mode(MODE_SLEEP);
    EXPECT_EQ(SleepMode.SleepPaused, 0);
    EXPECT_EQ(Labels.time_left.window, nullptr);
    RECT title = rect_of(Labels.title_line.window);
    EXPECT_EQ(title.right - title.left, Layout.face_width - 4);
    set_mode(MODE_CLOCK);
    EXPECT_EQ(Labels.title_line.window, nullptr);
    EXPECT_NE(Labels.next_alarm.window, nullptr);
}

}  // namespace

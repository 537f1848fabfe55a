// Alarm scheduling on a frozen clock: due times, handles, and what the
// notification database holds afterwards.
#include "platform/device/clock_testing.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/notify_probe.h"
#include "tests/support/store_device.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr DWORD MONDAY = 1u << 1;

class Scheduling : public StoreDevice {
protected:
    void freeze(const SYSTEMTIME &t) { clock_freeze_local(&t); }
    AlarmRecord &alarm(int i) { return *alarm_record(i); }
    void set_alarm(int i, int hour, int minute, DWORD days) {
        alarm(i).AlarmOn = 1;
        alarm(i).AThour = DWORD(hour);
        alarm(i).ATmin = DWORD(minute);
        alarm(i).Days = days;
        save_alarm(i);
    }
    // The only request stored; fails the test when there is not exactly one.
    SeenRequest only_request() {
        auto all = stored_requests();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? SeenRequest{} : all[0];
    }
    // A hidden top-level window of this process.
    HWND window(const wchar_t *title) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"SchedulingOwner";
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"SchedulingOwner", title, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    DWORD stored_alarm_handle(int i) {
        DWORD kept = alarm(i).AlarmHandle;
        reload_alarm_handle(i);
        DWORD stored = alarm(i).AlarmHandle;
        alarm(i).AlarmHandle = kept;
        return stored;
    }
};

TEST_F(Scheduling, AlarmInTheCurrentMinuteGoesToTomorrowAsAFullRequest) {
    freeze(local_time(2025, 6, 4, 7, 0, 30));
    set_alarm(2, 7, 0, ALL_DAYS);
    Settings.MaxTime = 5;
    BoxRecorder boxes;
    schedule_alarm(2, nullptr);
    SeenRequest r = only_request();
    EXPECT_EQ(stamp(r.start), "2025-06-05 07:00:00.000");
    EXPECT_EQ(stamp(r.end), "2025-06-05 07:05:00.000");
    EXPECT_EQ(r.application, MANAGER);
    EXPECT_EQ(r.arguments, L"/ID:2");
    EXPECT_NE(r.handle, 0u);
    EXPECT_EQ(alarm(2).AlarmHandle, r.handle);
    EXPECT_EQ(stored_alarm_handle(2), r.handle);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Scheduling, AlarmMovesToItsNextEnabledWeekday) {
    struct Case {
        SYSTEMTIME now;
        DWORD days;
        const char *due;
    } cases[] = {
        {local_time(2025, 6, 4, 6, 0), MONDAY, "2025-06-09 07:00:00.000"},  // Wednesday before the alarm
        {local_time(2025, 6, 2, 8, 0), MONDAY, "2025-06-09 07:00:00.000"},  // Monday after it: six days on
        {local_time(2025, 6, 2, 6, 0), MONDAY, "2025-06-02 07:00:00.000"},  // Monday before it: today
        {local_time(2025, 6, 1, 6, 0), MONDAY, "2025-06-02 07:00:00.000"},  // Sunday: the next day's bit
        {local_time(2025, 6, 7, 6, 0), ALL_DAYS, "2025-06-07 07:00:00.000"},  // Saturday: the week's last bit
    };
    for (const Case &c : cases) {
        freeze(c.now);
        set_alarm(0, 7, 0, c.days);
        schedule_alarm(0, nullptr);
        EXPECT_EQ(stamp(only_request().start), c.due) << stamp(c.now);
    }
}

TEST_F(Scheduling, DatesRollOverMonthAndYear) {
    freeze(local_time(2025, 12, 31, 23, 59, 10));
    set_alarm(1, 23, 59, ALL_DAYS);
    schedule_alarm(1, nullptr);
    SeenRequest r = only_request();
    EXPECT_EQ(stamp(r.start), "2026-01-01 23:59:00.000");
    EXPECT_EQ(r.start.wDayOfWeek, 4);  // a Thursday
    EXPECT_EQ(stamp(r.end), "2026-01-02 00:04:00.000");
}

TEST_F(Scheduling, AlarmWithoutDaysFailsWithAMessageAndChangesNothing) {
    freeze(local_time(2025, 6, 4, 6, 0));
    set_alarm(4, 7, 0, 0);
    alarm(4).AlarmHandle = 77;
    save_alarm(4);
    BoxRecorder boxes;
    HWND owner = window(L"Owner"), other = window(L"Other");
    SetForegroundWindow(other);
    schedule_alarm(4, owner);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"Failed to set alarm!");
    EXPECT_EQ(boxes.boxes[0].caption, L"Velmora");
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_EQ(boxes.boxes[0].owner, owner);
    EXPECT_EQ(boxes.boxes[0].foreground, owner);
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(stored_alarm_handle(4), 77u);
}

// A request the platform refuses (here: a manager path that is no device
// path) fails the countdown and the chime with the box over their owner.
TEST_F(Scheduling, RefusedCountdownAndChimeReportOverTheirOwnerBroughtToTheFront) {
    freeze(local_time(2025, 6, 4, 6, 0));
    swprintf(Folders.AppDataFolder, MAX_PATH, L"X:");
    BoxRecorder boxes;
    HWND owner = window(L"Owner"), other = window(L"Other");
    SetForegroundWindow(other);
    Settings.CountdownTime = 10;
    EXPECT_EQ(start_countdown(owner), 0);
    SetForegroundWindow(other);
    EXPECT_EQ(schedule_chime(owner), 0);
    EXPECT_EQ(schedule_chime(nullptr), 0);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(boxes.boxes[i].text, L"Failed to set alarm!");
        EXPECT_EQ(boxes.boxes[i].owner, owner);
        EXPECT_EQ(boxes.boxes[i].foreground, owner);
    }
    EXPECT_EQ(boxes.boxes[2].owner, nullptr);
    EXPECT_EQ(Settings.CountdownHandle, 0u);
    EXPECT_EQ(Settings.ChimeHandle, 0u);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(Scheduling, ReRegisteringReplacesTheRequestAndAFiredHandleIsReplacedByANewOne) {
    freeze(local_time(2025, 6, 4, 6, 0));
    set_alarm(3, 7, 0, ALL_DAYS);
    schedule_alarm(3, nullptr);
    DWORD first = only_request().handle;
    alarm(3).ATmin = 30;
    schedule_alarm(3, nullptr);
    EXPECT_EQ(only_request().handle, first);
    EXPECT_EQ(stamp(only_request().start), "2025-06-04 07:30:00.000");

    // The request fired: its handle is gone, the next registration is new.
    ASSERT_TRUE(CeClearUserNotification(notify_handle_of(first)));
    schedule_alarm(3, nullptr);
    DWORD second = only_request().handle;
    EXPECT_NE(second, first);
    EXPECT_EQ(stored_alarm_handle(3), second);
}

TEST_F(Scheduling, HandleStoredByAnotherProgramIsReplacedNotDoubled) {
    freeze(local_time(2025, 6, 4, 6, 0));
    set_alarm(5, 7, 0, ALL_DAYS);
    schedule_alarm(5, nullptr);
    DWORD registered = alarm(5).AlarmHandle;
    alarm(5).AlarmHandle = 0;  // this program's copy never saw the handle
    schedule_alarm(5, nullptr);
    EXPECT_EQ(only_request().handle, registered);
}

TEST_F(Scheduling, ClearingForgetsTheHandleEvenWhenThePlatformNoLongerKnowsIt) {
    freeze(local_time(2025, 6, 4, 6, 0));
    set_alarm(6, 7, 0, ALL_DAYS);
    schedule_alarm(6, nullptr);
    clear_alarm(6);
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(stored_alarm_handle(6), 0u);
    alarm(6).AlarmHandle = 4242;  // unknown to the platform
    BoxRecorder boxes;
    clear_alarm(6);
    EXPECT_EQ(alarm(6).AlarmHandle, 0u);
    EXPECT_EQ(stored_alarm_handle(6), 0u);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Scheduling, ScheduleAllRegistersTheOnAndClearsTheOff) {
    freeze(local_time(2025, 6, 4, 6, 0));
    set_alarm(0, 7, 0, ALL_DAYS);
    set_alarm(9, 8, 15, ALL_DAYS);
    set_alarm(4, 9, 0, ALL_DAYS);
    schedule_all(nullptr);
    EXPECT_EQ(stored_requests().size(), 3u);
    alarm(4).AlarmOn = 0;
    schedule_all(nullptr);
    auto all = stored_requests();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(stored_alarm_handle(4), 0u);
    EXPECT_EQ(all[0].arguments + L" " + all[1].arguments, L"/ID:0 /ID:9");
}

TEST_F(Scheduling, SnoozeKeepsSecondsAndTakesTheAlarmsOwnRequest) {
    freeze(local_time(2025, 6, 4, 7, 3, 27, 250));
    set_alarm(7, 7, 0, ALL_DAYS);
    Settings.SnoozeTime = 15;
    schedule_alarm(7, nullptr);
    snooze_alarm(7);
    SeenRequest r = only_request();
    EXPECT_EQ(stamp(r.start), "2025-06-04 07:18:27.250");
    EXPECT_EQ(r.arguments, L"/ID:7");
}

TEST_F(Scheduling, CountdownFallsDueAtItsEndAndStoresTheEndPlus59Seconds) {
    freeze(local_time(2025, 6, 4, 12, 0, 0));
    Settings.CountdownTime = 10;
    Settings.CountdownHandle = 0;
    ASSERT_EQ(start_countdown(nullptr), 1);
    SeenRequest r = only_request();
    EXPECT_EQ(stamp(r.start), "2025-06-04 12:10:00.000");
    EXPECT_EQ(r.arguments, L"/ID:254");
    EXPECT_EQ(Settings.CountdownHandle, r.handle);
    FILETIME end{Settings.CDFTLow, Settings.CDFTHigh};
    SYSTEMTIME shown;
    ASSERT_TRUE(FileTimeToSystemTime(&end, &shown));
    EXPECT_EQ(stamp(shown), "2025-06-04 12:10:59.000");

    ASSERT_EQ(start_countdown(nullptr), 1);  // a restart replaces the running one
    EXPECT_NE(only_request().handle, r.handle);
    clear_countdown();
    EXPECT_EQ(Settings.CountdownHandle, 0u);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(Scheduling, ChimeFallsDueOneSecondAfterTheNextFullHour) {
    freeze(local_time(2025, 6, 4, 10, 59, 59));
    ASSERT_EQ(schedule_chime(nullptr), 1);
    EXPECT_EQ(stamp(only_request().start), "2025-06-04 11:00:01.000");
    EXPECT_EQ(only_request().arguments, L"/ID:255");
    freeze(local_time(2025, 6, 4, 11, 0, 0));
    ASSERT_EQ(schedule_chime(nullptr), 1);
    EXPECT_EQ(stamp(only_request().start), "2025-06-04 12:00:01.000");
    EXPECT_EQ(Settings.ChimeHandle, only_request().handle);
    clear_chime();
    EXPECT_EQ(Settings.ChimeHandle, 0u);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(Scheduling, NextPendingAlarmIsTheEarliestAndTheLowerIndexOnATie) {
    freeze(local_time(2025, 6, 4, 6, 0));
    SYSTEMTIME t{};
    EXPECT_EQ(next_pending_alarm(&t), -1);
    set_alarm(6, 8, 0, ALL_DAYS);
    set_alarm(3, 8, 0, ALL_DAYS);
    set_alarm(8, 9, 0, ALL_DAYS);
    EXPECT_EQ(next_pending_alarm(&t), 3);
    EXPECT_EQ(stamp(t), "2025-06-04 08:00:00.000");
    set_alarm(8, 6, 30, MONDAY);  // earlier in the day, but only next Monday
    EXPECT_EQ(next_pending_alarm(&t), 3);
    set_alarm(9, 7, 0, 0);  // no days: taken as it is
    EXPECT_EQ(next_pending_alarm(&t), 9);
    EXPECT_EQ(stamp(t), "2025-06-04 07:00:00.000");
}

TEST(EventId, ParsesOnlyTheExactPrefixAndKnownIdentifiers) {
    EXPECT_EQ(parse_event_id(L"/ID:7"), 7);
    EXPECT_EQ(parse_event_id(L"/ID:"), 0);
    EXPECT_EQ(parse_event_id(L"/ID:3 trailing"), 3);
    EXPECT_EQ(parse_event_id(L"/ID:254"), EVENT_ID_COUNTDOWN);
    EXPECT_EQ(parse_event_id(L"/ID:255"), EVENT_ID_CHIME);
    EXPECT_EQ(parse_event_id(L"/id:7"), -1);
    EXPECT_EQ(parse_event_id(L"ID:7"), -1);
    EXPECT_EQ(parse_event_id(L"/ID"), -1);
    EXPECT_EQ(parse_event_id(nullptr), -1);
    EXPECT_EQ(parse_event_id(L""), -1);
    // Never an index into the alarm table, never a wrapped number.
    EXPECT_EQ(parse_event_id(L"/ID:10"), -1);
    EXPECT_EQ(parse_event_id(L"/ID:253"), -1);
    EXPECT_EQ(parse_event_id(L"/ID:4294967295"), -1);
    EXPECT_EQ(parse_event_id(L"/ID:4294967299"), -1);
    EXPECT_EQ(parse_event_id(L"/ID:99999999999999999999999"), -1);
}

}  // namespace

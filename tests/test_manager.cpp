// Velmgr with real processes on a temporary device: the built Velmgr, a
// stand-in main program (a "Velmora" window that records what it receives)
// and the recorder as Chime, laid at their device paths as the package lays
// them. These tests wait for the manager's real pauses of 1 to 3 seconds.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/device/process.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/store_device.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *MAIN = L"\\IPSM\\Program Files\\Velmora\\Velmora.exe";
constexpr const wchar_t *CHIME = L"\\IPSM\\Program Files\\Velmora\\Chime.exe";

// One line of the stand-in's record.
struct MainEvent {
    long long at_ms;
    std::string what;
};

class ManagerProgram : public StoreDevice {
protected:
    void SetUp() override {
        StoreDevice::SetUp();
        ASSERT_TRUE(install_program(MANAGER, built_velmgr()));
        ASSERT_TRUE(install_program(MAIN, built_main_standin()));
        ASSERT_TRUE(install_recorder(CHIME));
    }
    void TearDown() override {
        for (const wchar_t *name : {L"Velmora", L"Velmgr"})
            if (HWND w = FindWindowW(name, name)) PostMessageW(w, WM_CLOSE, 0, 0);
        for (pid_t pid : started) {
            if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
        StoreDevice::TearDown();
    }
    // Starts Velmgr as the notification service does: the command line as
    // its one argument (none: no argument).
    pid_t start_manager(const char *command_line) {
        std::vector<std::string> args;
        if (command_line) args.push_back(command_line);
        char host[DEVICE_HOST_PATH];
        device_host_path(MANAGER, host, sizeof host);
        pid_t pid = plat::spawn_program(host, args, false);
        started.push_back(pid);
        return pid;
    }
    pid_t start_main() {
        pid_t pid = plat::spawn_program(built_main_standin(), {}, false);
        started.push_back(pid);
        return pid;
    }
    // Polls until the process ended; false after `timeout_ms`.
    bool ended(pid_t pid, int timeout_ms, long long *at_ms = nullptr) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(5000)) {
            pid_t r = waitpid(pid, nullptr, WNOHANG);
            if (r == pid || (r < 0 && errno == ECHILD)) {
                if (at_ms) *at_ms = host_now_ms();
                return true;
            }
        }
        return false;
    }
    bool window_appears(const wchar_t *name, int timeout_ms) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(10000))
            if (FindWindowW(name, name)) return true;
        return false;
    }
    std::vector<MainEvent> main_events() {
        std::vector<MainEvent> out;
        std::ifstream in(root + "/IPSM/velmora.log");
        for (std::string line; std::getline(in, line);) {
            size_t space = line.find(' ');
            out.push_back(MainEvent{atoll(line.c_str()), line.substr(space + 1)});
        }
        return out;
    }
    std::vector<MainEvent> wait_for_main_events(size_t count, int timeout_ms) {
        std::vector<MainEvent> seen = main_events();
        for (long long until = host_now_ms() + timeout_ms; seen.size() < count && host_now_ms() < until;) {
            usleep(10000);
            seen = main_events();
        }
        return seen;
    }
    std::string journal() {
        std::ifstream in(root + "/journal.log");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    size_t count_in_journal(const std::string &text) {
        std::string j = journal();
        size_t n = 0;
        for (size_t at = j.find(text); at != std::string::npos; at = j.find(text, at + 1)) n++;
        return n;
    }
    bool clock_events_registered(int timeout_ms) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(10000)) {
            LONG event[3] = {};
            WCHAR app[3][MAX_PATH];
            DWORD n = 0;
            while (n < 3 && notify_event_registration(n, &event[n], app[n], MAX_PATH)) n++;
            if (n == 2 && event[0] == 1 && event[1] == 12 && wcscmp(app[0], MANAGER) == 0 &&
                wcscmp(app[1], MANAGER) == 0)
                return true;
        }
        return false;
    }
    std::vector<pid_t> started;
};

TEST(SetSystemPowerState, SwitchingOnIsJournaledAndNothingElseIsDone) {
    std::string root = make_temp_folder("power");
    ASSERT_TRUE(device_open(root.c_str()));
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_ON, POWER_FORCE), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(SetSystemPowerState(L"On", 0, 0), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_SUSPEND, POWER_FORCE), DWORD(ERROR_NOT_SUPPORTED));
    std::ifstream in(root + "/journal.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(20));  // past the time stamp
    EXPECT_EQ(lines, (std::vector<std::string>{"power: switched on (forced)", "power: switched on"}));
    device_close();
    remove_tree(root);
}

TEST_F(ManagerProgram, AChimeIsStartedDirectlyEvenWithAResidentCopy) {
    start_manager(nullptr);
    ASSERT_TRUE(window_appears(L"Velmgr", 5000));
    long long t0 = host_now_ms();
    pid_t chime = start_manager("/ID:255");
    long long end = 0;
    ASSERT_TRUE(ended(chime, 5000, &end));
    // Through the resident copy it would take a sent event and a 2 s sleep.
    EXPECT_LT(end - t0, 1000);
    auto chimes = wait_for_records(1, 3000);
    ASSERT_EQ(chimes.size(), 1u);
    EXPECT_EQ(chimes[0].argument_count, 0);
    EXPECT_EQ(count_in_journal("power: switched on (forced)"), 1u);
    usleep(1500 * 1000);  // a relayed chime would start the main program after 1 s
    EXPECT_TRUE(main_events().empty());
    EXPECT_NE(FindWindowW(L"Velmgr", L"Velmgr"), nullptr);
}

TEST_F(ManagerProgram, AnAlarmWithNothingRunningMakesItResidentAndStartsTheMainProgramAfter3s) {
    save_daily_alarm(1, 7, 0);  // registered only by a start without an event
    long long t0 = host_now_ms();
    pid_t manager = start_manager("/ID:3");
    ASSERT_TRUE(window_appears(L"Velmgr", 3000));
    auto seen = wait_for_main_events(1, 8000);
    ASSERT_GE(seen.size(), 1u);
    EXPECT_EQ(seen[0].what, "start 1 /ID:3");
    EXPECT_GE(seen[0].at_ms - t0, 3000);
    EXPECT_LT(seen[0].at_ms - t0, 5000);
    EXPECT_TRUE(clock_events_registered(2000));
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(count_in_journal("power: switched on (forced)"), 1u);

    // The resident window: an identifier that is no event is not relayed;
    // the start request starts the main program at once, without arguments.
    ASSERT_TRUE(window_appears(L"Velmora", 3000));
    PostMessageW(FindWindowW(L"Velmora", L"Velmora"), WM_CLOSE, 0, 0);
    long long t1 = host_now_ms();
    ASSERT_EQ(run_velctl({"post", "Velmgr", "Velmgr", "0x8001", "77"}), 0);
    ASSERT_EQ(run_velctl({"post", "Velmgr", "Velmgr", "0x8002", "0"}), 0);
    seen = wait_for_main_events(2, 3000);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].what, "start 0 ");
    EXPECT_LT(seen[1].at_ms - t1, 2000);

    ASSERT_EQ(run_velctl({"post", "Velmgr", "Velmgr", "0x10", "0"}), 0);
    EXPECT_TRUE(ended(manager, 3000));
    EXPECT_EQ(FindWindowW(L"Velmgr", L"Velmgr"), nullptr);
}

// The chime's new handle is saved, so that the main program can clear the
// chime later; left unsaved it would point at a request that is gone.
TEST_F(ManagerProgram, AStartWithNothingRunningArmsEveryAlarmAndTheChimeAndKeepsTheChimeHandle) {
    save_daily_alarm(1, 7, 0);
    Settings.Chime = 1;
    Settings.ChimeHandle = 999;
    save_settings();
    start_manager(nullptr);
    ASSERT_TRUE(window_appears(L"Velmgr", 3000));
    ASSERT_TRUE(clock_events_registered(3000));
    auto all = stored_requests();
    ASSERT_EQ(all.size(), 2u);
    reload_chime_handle();
    reload_alarm_handle(1);
    for (const SeenRequest &r : all) {
        if (r.arguments == L"/ID:255") EXPECT_EQ(r.handle, Settings.ChimeHandle);
        else EXPECT_EQ(r.handle, alarm_record(1)->AlarmHandle);
    }
    EXPECT_EQ(journal().find("power:"), std::string::npos);
}

TEST_F(ManagerProgram, WithTheMainProgramRunningAStartOnlyBecomesResidentAndACountdownIsRelayedAfter1s) {
    save_daily_alarm(1, 7, 0);
    start_main();
    ASSERT_TRUE(window_appears(L"Velmora", 3000));
    start_manager(nullptr);
    ASSERT_TRUE(window_appears(L"Velmgr", 3000));
    ASSERT_TRUE(clock_events_registered(3000));
    EXPECT_TRUE(stored_requests().empty());  // the main program arms the alarms itself
    EXPECT_EQ(journal().find("power:"), std::string::npos);

    long long t0 = host_now_ms();
    pid_t countdown = start_manager("/ID:254");
    auto seen = wait_for_main_events(3, 5000);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].what, "start 0 ");
    EXPECT_EQ(seen[1].what, "activate");
    EXPECT_EQ(seen[2].what, "message 32769 254");
    EXPECT_GE(seen[2].at_ms - t0, 1000);
    EXPECT_LT(seen[2].at_ms - t0, 2500);
    // The new copy waits for the hand-over, then sleeps 1 s more.
    long long end = 0;
    ASSERT_TRUE(ended(countdown, 5000, &end));
    EXPECT_GE(end - seen[2].at_ms, 950);
    EXPECT_LT(end - t0, 4000);
    EXPECT_EQ(main_events().size(), 3u);
}

// A resident copy that stopped (SIGSTOP, a debugger, a swapped-out machine)
// must not keep a due alarm from the clock: the new copy gives up on it after
// the send's bound and starts the clock itself; the resident, when it goes on,
// does not relay the event a second time.
TEST_F(ManagerProgram, AStoppedResidentCopyDoesNotKeepTheAlarmFromTheClock) {
    pid_t resident = start_manager(nullptr);
    ASSERT_TRUE(window_appears(L"Velmgr", 3000));
    ASSERT_TRUE(clock_events_registered(3000));
    ASSERT_EQ(kill(resident, SIGSTOP), 0);
    long long t0 = host_now_ms();
    pid_t due = start_manager("/ID:3");
    auto seen = wait_for_main_events(1, 15000);
    kill(resident, SIGCONT);
    ASSERT_EQ(seen.size(), 1u) << "the clock was never started";
    EXPECT_EQ(seen[0].what, "start 1 /ID:3");
    EXPECT_GE(seen[0].at_ms - t0, 3000);
    EXPECT_LT(seen[0].at_ms - t0, 11000);
    EXPECT_TRUE(ended(due, 3000));
    usleep(5000 * 1000);  // longer than a relay would take
    EXPECT_EQ(main_events().size(), 1u);
}

TEST_F(ManagerProgram, AClockChangeRearmsTheAlarmsForTheNewLocalTimeAndLeavesTheChime) {
    DeviceSettings ds = *device_settings();
    snprintf(ds.time_zone, sizeof ds.time_zone, "UTC");
    ASSERT_TRUE(device_save_settings(&ds));
    SYSTEMTIME now;
    GetLocalTime(&now);
    save_daily_alarm(2, (now.wHour + 2) % 24, 0);
    schedule_alarm(2, nullptr);
    Settings.Chime = 1;
    ASSERT_EQ(schedule_chime(nullptr), 1);
    save_chime_settings();
    WCHAR manager[MAX_PATH];
    wcscpy(manager, MANAGER);
    ASSERT_TRUE(CeRunAppAtEvent(manager, NOTIFICATION_EVENT_TIME_CHANGE));
    ASSERT_TRUE(CeRunAppAtEvent(manager, NOTIFICATION_EVENT_TZ_CHANGE));
    auto find = [](const std::vector<SeenRequest> &all, const wchar_t *args) {
        for (const SeenRequest &r : all)
            if (r.arguments == args) return r;
        return SeenRequest{};
    };
    auto before = stored_requests();
    ASSERT_EQ(before.size(), 2u);
    SeenRequest alarm = find(before, L"/ID:2"), chime = find(before, L"/ID:255");

    // A day back: the alarm's next occurrence comes a day earlier.
    ASSERT_TRUE(start_service());
    ASSERT_EQ(run_velctl({"clock", "offset", std::to_string(ds.clock_offset - 86400)}), 0);
    SYSTEMTIME expected;
    clock_systemtime_from_ms(clock_ms_from_systemtime(&alarm.start) - 86400 * 1000LL, &expected);
    std::vector<SeenRequest> after;
    for (long long until = host_now_ms() + 8000; host_now_ms() < until; usleep(20000)) {
        after = stored_requests();
        if (stamp(find(after, L"/ID:2").start) == stamp(expected)) break;
    }
    kill_service();
    ASSERT_EQ(after.size(), 2u);
    SeenRequest rearmed = find(after, L"/ID:2"), kept = find(after, L"/ID:255");
    EXPECT_EQ(stamp(rearmed.start), stamp(expected));
    EXPECT_EQ(rearmed.handle, alarm.handle);
    EXPECT_EQ(kept.handle, chime.handle);
    EXPECT_EQ(stamp(kept.start), stamp(chime.start));
    reload_chime_handle();
    EXPECT_EQ(Settings.ChimeHandle, chime.handle);
    EXPECT_TRUE(clock_events_registered(1000));
    EXPECT_EQ(FindWindowW(L"Velmgr", L"Velmgr"), nullptr);  // a clock change leaves no resident copy
}

// A snooze not yet due outlives clock and zone changes; alarm 1's stale
// regular request is re-armed beside it, and a switched-off alarm's snooze
// is cleared as before.
TEST_F(ManagerProgram, AClockOrZoneChangeKeepsAPendingSnoozeAndRearmsTheRest) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Settings.SnoozeTime = 10;
    save_daily_alarm(0, (now.wHour + 2) % 24, 0);
    save_daily_alarm(1, 3, 0);
    save_daily_alarm(2, (now.wHour + 2) % 24, 30);
    SYSTEMTIME next = now;
    next.wHour = 3, next.wMinute = 0, next.wSecond = 0, next.wMilliseconds = 0;
    long long next_ms = clock_ms_from_systemtime(&next) + (now.wHour * 60 + now.wMinute >= 180 ? 86400000LL : 0);
    clock_systemtime_from_ms(next_ms, &next);
    for (const char *change : {"AppRunAfterTimeChange", "AppRunAfterTzChange"}) {
        snooze_alarm(0);
        snooze_alarm(2);
        alarm_record(2)->AlarmOn = 0;
        save_alarm(2);
        SYSTEMTIME stale;
        clock_systemtime_from_ms(next_ms + 7 * 86400000LL, &stale);
        ASSERT_TRUE(arm_alarm(1, &stale, true));
        SeenRequest snooze = stored_requests_for(L"/ID:0").at(0);

        ASSERT_TRUE(ended(start_manager(change), 5000)) << change;
        std::vector<SeenRequest> kept = stored_requests_for(L"/ID:0"), rearmed = stored_requests_for(L"/ID:1");
        ASSERT_EQ(kept.size(), 1u) << change;
        EXPECT_EQ(kept[0].handle, snooze.handle) << change;
        EXPECT_EQ(stamp(kept[0].start), stamp(snooze.start)) << change << ": the snooze was replaced";
        ASSERT_EQ(rearmed.size(), 1u) << change;
        EXPECT_EQ(stamp(rearmed[0].start), stamp(next)) << change;
        EXPECT_TRUE(stored_requests_for(L"/ID:2").empty()) << change;
        alarm_record(2)->AlarmOn = 1;
        save_alarm(2);
    }
}

// A chime dropped by a clock that jumped past it is registered again for the
// next full hour; switched off, none is.
TEST_F(ManagerProgram, AClockChangeRevivesALostChimeOnlyWhenTheChimeIsOn) {
    Settings.Chime = 1;
    ASSERT_EQ(schedule_chime(nullptr), 1);
    save_chime_settings();
    ASSERT_TRUE(CeClearUserNotification(notify_handle_of(Settings.ChimeHandle)));
    ASSERT_TRUE(ended(start_manager("AppRunAfterTimeChange"), 5000));
    std::vector<SeenRequest> chimes = stored_requests_for(L"/ID:255");
    ASSERT_EQ(chimes.size(), 1u);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(chimes[0].start.wMinute * 60 + chimes[0].start.wSecond, 1);
    EXPECT_EQ(chimes[0].start.wHour, (now.wHour + 1) % 24);
    reload_chime_handle();
    EXPECT_EQ(Settings.ChimeHandle, chimes[0].handle);

    ASSERT_TRUE(CeClearUserNotification(notify_handle_of(Settings.ChimeHandle)));
    Settings.Chime = 0;
    save_settings();
    ASSERT_TRUE(ended(start_manager("AppRunAfterTzChange"), 5000));
    EXPECT_TRUE(stored_requests_for(L"/ID:255").empty());
}

TEST_F(ManagerProgram, AMainProgramThatWillNotStartIsReportedAfterSixAttempts500msApart) {
    char host[DEVICE_HOST_PATH];
    ASSERT_TRUE(device_host_path(MAIN, host, sizeof host));
    unlink(host);
    long long t0 = host_now_ms();
    start_manager("/ID:3");
    const std::string box = "message box (error): [Error] Can't launch \\IPSM\\Program Files\\Velmora\\Velmora.exe!";
    long long reported = 0;
    for (long long until = t0 + 12000; !reported && host_now_ms() < until; usleep(20000))
        if (count_in_journal(box) == 1) reported = host_now_ms();
    ASSERT_GT(reported, 0) << journal();
    EXPECT_GE(reported - t0, 3000 + 5 * 500);

    // The resident copy tries again for the next event, and a program that
    // appears during the attempts is started by one of them.
    long long t1 = host_now_ms();
    ASSERT_EQ(run_velctl({"post", "Velmgr", "Velmgr", "0x8001", "4"}), 0);
    usleep(3700 * 1000);
    ASSERT_TRUE(install_program(MAIN, built_main_standin()));
    auto seen = wait_for_main_events(1, 4000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].what, "start 1 /ID:4");
    EXPECT_GE(seen[0].at_ms - t1, 3700);
    EXPECT_LT(seen[0].at_ms - t1, 5500);
    EXPECT_EQ(count_in_journal(box), 1u);
}

}  // namespace

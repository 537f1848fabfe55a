// notifyd with real processes on a temporary device: requests start the
// recorder program at their due time, once, never early; across a kill,
// downtime, clock and zone changes and DST changes.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/device/device.h"
#include "platform/notify/notify_db.h"
#include "platform/device/process.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/temp_device.h"

namespace {

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";

class LiveService : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        use_built_service(true);
        ASSERT_TRUE(install_recorder(MANAGER));
    }
    void TearDown() override {
        kill_service();
        TempDevice::TearDown();
    }
    // The host instant at which a local device time falls due now.
    long long host_due_ms(const SYSTEMTIME &local) {
        return clock_utc_for_local(clock_ms_from_systemtime(&local)) - device_settings()->clock_offset * 1000;
    }
    std::string journal() {
        std::ifstream in(root + "/journal.log");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void set_device(long long offset_s, const char *zone) {
        DeviceSettings s = *device_settings();
        s.clock_offset = offset_s;
        snprintf(s.time_zone, sizeof s.time_zone, "%s", zone);
        ASSERT_TRUE(device_save_settings(&s));
    }
    // Puts the device clock at a UTC instant (to the second).
    void put_device_at_utc(long long utc_ms, const char *zone) {
        set_device((utc_ms - host_now_ms() + 500) / 1000, zone);
    }
    void pause(int ms) { wait_for_records(1000, ms); }
};

TEST_F(LiveService, ARequestStartsItsProgramOnceAtItsDueTime) {
    SYSTEMTIME due = local_in(2000);
    ASSERT_NE(add_request(MANAGER, L"/ID:3", due, 5), nullptr);  // starts the service
    auto seen = wait_for_records(1, 10000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].argument, "/ID:3");
    EXPECT_EQ(seen[0].argument_count, 1);
    EXPECT_GE(seen[0].started_ns / 1000000, host_due_ms(due));
    EXPECT_LT(seen[0].started_ns / 1000000, host_due_ms(due) + 1000);
    EXPECT_TRUE(stored_requests().empty());
    pause(500);
    EXPECT_EQ(read_records().size(), 1u);
}

TEST_F(LiveService, ARequestSurvivesAServiceKilledAndRestartedBeforeItsDueTime) {
    SYSTEMTIME due = local_in(2500);
    ASSERT_NE(add_request(MANAGER, L"/ID:3", due, 5), nullptr);
    ASSERT_TRUE(start_service());
    int first = service_pid();
    ASSERT_TRUE(kill_service());
    ASSERT_TRUE(start_service());
    EXPECT_NE(service_pid(), first);
    auto seen = wait_for_records(1, 10000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].argument, "/ID:3");
    EXPECT_GE(seen[0].started_ns / 1000000, host_due_ms(due));
}

TEST_F(LiveService, AfterDowntimeAnOverdueRequestFiresWithinItsEndAndIsDroppedBeyondIt) {
    use_built_service(false);
    ASSERT_NE(add_request(MANAGER, L"/ID:1", local_in(-2 * 60000), 5), nullptr);
    ASSERT_NE(add_request(MANAGER, L"/ID:2", local_in(-10 * 60000), 5), nullptr);
    EXPECT_EQ(service_pid(), 0);
    ASSERT_TRUE(start_service());
    auto seen = wait_for_records(1, 5000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].argument, "/ID:1");
    pause(300);
    EXPECT_EQ(read_records().size(), 1u);
    EXPECT_TRUE(stored_requests().empty());
    std::string j = journal();
    EXPECT_NE(j.find("notification: dropped request"), std::string::npos) << j;
    EXPECT_NE(j.find("/ID:2"), std::string::npos) << j;
}

TEST_F(LiveService, ClockAndZoneChangesStartTheRegisteredProgramsAndRecomputeDueTimes) {
    WCHAR manager[MAX_PATH];
    wcscpy(manager, MANAGER);
    ASSERT_TRUE(CeRunAppAtEvent(manager, NOTIFICATION_EVENT_TIME_CHANGE));
    ASSERT_TRUE(CeRunAppAtEvent(manager, NOTIFICATION_EVENT_TZ_CHANGE));
    ASSERT_TRUE(start_service());
    ASSERT_NE(add_request(MANAGER, L"/ID:4", local_in(3600 * 1000), 5), nullptr);

    // One day ahead: the request of the next hour is long past its end.
    SYSTEMTIME ahead = local_in(86400 * 1000);
    char text[48];  // room for any WORD values, as the compiler reckons
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", ahead.wYear, ahead.wMonth, ahead.wDay, ahead.wHour,
             ahead.wMinute, ahead.wSecond);
    ASSERT_EQ(run_velctl({"clock", "set", text}), 0);
    auto seen = wait_for_records(1, 5000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].argument, "AppRunAfterTimeChange");
    EXPECT_NEAR(double(device_settings()->clock_offset), 86400.0, 2.0);
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_NE(journal().find("/ID:4"), std::string::npos);

    ASSERT_EQ(run_velctl({"tz", "set", "Asia/Tokyo"}), 0);
    seen = wait_for_records(2, 5000);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].argument, "AppRunAfterTzChange");

    // Back by an hour: a request due in 2 s is now an hour away.
    ASSERT_NE(add_request(MANAGER, L"/ID:5", local_in(2000), 5), nullptr);
    ASSERT_EQ(run_velctl({"clock", "offset", std::to_string(86400 - 3600)}), 0);
    seen = wait_for_records(4, 3500);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].argument, "AppRunAfterTimeChange");
    EXPECT_EQ(stored_requests().size(), 1u);
}

// The times the service was put to sleep and woken.
long wake_ups(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return atol(line.c_str() + 24);
    return -1;
}

// Only device.conf and the host's zone file wake the service: files written
// beside them never do, and device.conf replaced again and again still does.
TEST_F(LiveService, FilesWrittenBesideTheSettingsNeverWakeTheService) {
    set_device(0, "");
    WCHAR manager[MAX_PATH];
    wcscpy(manager, MANAGER);
    ASSERT_TRUE(CeRunAppAtEvent(manager, NOTIFICATION_EVENT_TZ_CHANGE));
    ASSERT_TRUE(start_service());
    int pid = service_pid();
    pause(300);
    long before = wake_ups(pid);
    ASSERT_GE(before, 0);
    for (int i = 0; i < 100; i++) {
        std::string name = "unrelated-" + std::to_string(i);
        std::ofstream(host(name.c_str())) << "written";
        std::ofstream(host_with_folders("IPSM/" + name)) << "written";
    }
    ASSERT_EQ(rename(host("unrelated-0").c_str(), host("unrelated-moved").c_str()), 0);
    pause(300);
    EXPECT_EQ(wake_ups(pid), before);
    size_t seen = 0;
    for (const char *zone : {"Asia/Tokyo", "Europe/Berlin", "America/New_York"}) {
        ASSERT_EQ(run_velctl({"tz", "set", zone}), 0);
        EXPECT_EQ(wait_for_records(++seen, 5000).size(), seen) << zone;
    }
}

TEST_F(LiveService, ATimeTheSpringChangeSkipsFiresOnceAtTheChange) {
    // Europe/Berlin, 2025-03-30: 02:00 CET becomes 03:00 CEST at 01:00 UTC.
    const long long change_utc = 1743296400000LL;
    put_device_at_utc(change_utc - 2000, "Europe/Berlin");
    ASSERT_NE(add_request(MANAGER, L"/ID:8", local_time(2025, 3, 30, 2, 30), 5), nullptr);
    auto seen = wait_for_records(1, 8000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].argument, "/ID:8");
    long long change_host = change_utc - device_settings()->clock_offset * 1000;
    EXPECT_GE(seen[0].started_ns / 1000000, change_host);
    EXPECT_LT(seen[0].started_ns / 1000000, change_host + 1000);
    pause(500);
    EXPECT_EQ(read_records().size(), 1u);
}

TEST_F(LiveService, ATimeInTheRepeatedAutumnHourFiresOnce) {
    // Europe/Berlin, 2025-10-26: 02:00-03:00 runs twice, from 00:00 and 01:00 UTC.
    const long long first_pass_utc = 1761438600000LL;  // 02:30 CEST
    put_device_at_utc(first_pass_utc - 2000, "Europe/Berlin");
    ASSERT_NE(add_request(MANAGER, L"/ID:6", local_time(2025, 10, 26, 2, 30), 5), nullptr);
    auto seen = wait_for_records(1, 8000);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GE(seen[0].started_ns / 1000000, first_pass_utc - device_settings()->clock_offset * 1000);

    // The second pass through 02:30 starts nothing more.
    put_device_at_utc(first_pass_utc + 3600 * 1000 - 2000, "Europe/Berlin");
    pause(3500);
    EXPECT_EQ(read_records().size(), 1u);

    // Registered during the second pass, 02:30 falls due in this pass.
    put_device_at_utc(first_pass_utc + 3600 * 1000 - 2000, "Europe/Berlin");
    ASSERT_NE(add_request(MANAGER, L"/ID:7", local_time(2025, 10, 26, 2, 30), 5), nullptr);
    seen = wait_for_records(2, 8000);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].argument, "/ID:7");
    long long second_pass_host = first_pass_utc + 3600 * 1000 - device_settings()->clock_offset * 1000;
    EXPECT_GE(seen[1].started_ns / 1000000, second_pass_host);
    EXPECT_LT(seen[1].started_ns / 1000000, second_pass_host + 1000);
}

TEST_F(LiveService, AProgramThatCannotBeStartedIsJournaledAndForgotten) {
    ASSERT_NE(add_request(L"\\IPSM\\Windows\\missing.exe", L"/ID:2", local_in(500), 5), nullptr);
    std::string j;
    for (int i = 0; i < 300 && j.find("could not start") == std::string::npos; i++) {
        pause(10);
        j = journal();
    }
    EXPECT_NE(j.find("could not start the program of request"), std::string::npos) << j;
    EXPECT_NE(j.find("missing.exe /ID:2"), std::string::npos) << j;
    for (int i = 0; i < 100 && !plat::notify_fired_requests().empty(); i++) pause(20);
    EXPECT_TRUE(plat::notify_fired_requests().empty());
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(LiveService, RemovingTheDeviceEndsItsService) {
    ASSERT_TRUE(start_service());
    int pid = service_pid();
    ASSERT_GT(pid, 0);
    remove_tree(root);
    bool ended = false;
    for (int i = 0; i < 300 && !ended; i++) {
        ended = waitpid(pid, nullptr, WNOHANG) == pid;  // a registration here started it
        if (!ended) usleep(10000);
    }
    EXPECT_TRUE(ended);
}

// The service's claim, played by the test up to the moment a service would
// be killed: a launcher is started as the service starts it and waits on its
// pipe; the claim is committed (Launched) or rolled back (Failed).
class KilledMidClaim : public LiveService {
protected:
    void claim(plat::ClaimOutcome outcome, long long now_utc = clock_utc_ms()) {
        auto take = [&](const plat::NotifyRequest &, long long *token) {
            *token = 0x5eed;
            char lock[DEVICE_HOST_PATH];
            snprintf(lock, sizeof lock, "%s/launch-%016llx.lock", device_runtime_dir(), *token);
            int lock_fd = open(lock, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            int fds[2];
            EXPECT_EQ(flock(lock_fd, LOCK_EX), 0);
            EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
            launcher = plat::spawn_program(built_notifyd(), {"--launch", std::to_string(*token)}, false, {fds[0], lock_fd});
            EXPECT_GT(launcher, 0);
            close(fds[0]);
            close(lock_fd);
            // The service writes the request only with its word, after the
            // commit: killed before, it leaves the launcher its token alone.
            go_fd = fds[1];
            return outcome;
        };
        bool claimed = false;
        long long next;
        plat::notify_claim_due(now_utc, take, &claimed, &next);
        ASSERT_GE(go_fd, 0);
    }
    bool fired_rows_forgotten(int timeout_ms) {
        for (int waited = 0; waited < timeout_ms; waited += 20) {
            if (plat::notify_fired_requests().empty()) return true;
            pause(20);
        }
        return false;
    }
    // The program starts with the argument, once, and the service forgets
    // the fired request.
    void expect_started_once(const char *argument) {
        auto seen = wait_for_records(1, 5000);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].argument, argument);
        EXPECT_TRUE(fired_rows_forgotten(2000));
        pause(300);
        EXPECT_EQ(read_records().size(), 1u);
    }
    int go_fd = -1;
    int launcher = -1;
};

TEST_F(KilledMidClaim, ACommittedClaimIsStartedByItsLauncherOnceAndOnlyThenForgotten) {
    use_built_service(false);
    ASSERT_NE(add_request(MANAGER, L"/ID:3", local_in(-1000), 5), nullptr);
    claim(plat::ClaimOutcome::Launched);
    // A new service finds the fired request while its launcher still waits:
    // it must neither start it again nor forget it under the launcher.
    ASSERT_TRUE(start_service());
    pause(400);
    EXPECT_TRUE(read_records().empty());
    EXPECT_EQ(plat::notify_fired_requests().size(), 1u);
    EXPECT_TRUE(stored_requests().empty());
    close(go_fd);  // the claiming service dies without its word
    expect_started_once("/ID:3");
}

// Killed while writing its word after the commit: the launcher trusts no
// half of it and finds the request in the database.
TEST_F(KilledMidClaim, ALauncherLeftWithHalfTheWordStartsTheCommittedRequestOnce) {
    use_built_service(false);
    ASSERT_NE(add_request(MANAGER, L"/ID:5", local_in(-1000), 5), nullptr);
    claim(plat::ClaimOutcome::Launched);
    ASSERT_TRUE(start_service());  // which forgets the request once it started
    const char half[] = "1\0/nowhere/else\0/ID:9";
    ASSERT_EQ(write(go_fd, half, sizeof half - 1), ssize_t(sizeof half - 1));
    close(go_fd);
    expect_started_once("/ID:5");
}

// Claimed a little ahead, a request waits in its launcher for its due time:
// a launcher killed meanwhile leaves it to the service, which starts it on
// time, once, instead of forgetting it.
TEST_F(KilledMidClaim, ALauncherKilledWhileItWaitsForTheDueTimeLeavesTheRequestToTheService) {
    use_built_service(false);
    SYSTEMTIME due = local_in(1500);
    ASSERT_NE(add_request(MANAGER, L"/ID:6", due, 5), nullptr);
    claim(plat::ClaimOutcome::Launched, clock_utc_ms() + 2000);
    close(go_fd);  // the launcher finds its claim in the database, and waits
    pause(300);
    ASSERT_EQ(kill(launcher, SIGKILL), 0);
    ASSERT_TRUE(start_service());
    expect_started_once("/ID:6");
    auto seen = read_records();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GE(seen[0].started_ns / 1000000, host_due_ms(due));
}

TEST_F(KilledMidClaim, AClaimThatNeverCommittedIsStartedOnceByTheNextService) {
    use_built_service(false);
    ASSERT_NE(add_request(MANAGER, L"/ID:4", local_in(-1000), 5), nullptr);
    claim(plat::ClaimOutcome::Failed);
    close(go_fd);
    pause(500);
    EXPECT_TRUE(read_records().empty());
    ASSERT_EQ(stored_requests().size(), 1u);
    ASSERT_TRUE(start_service());
    expect_started_once("/ID:4");
}

}  // namespace

// The notification database under races and faults: several programs
// re-arming one alarm at once, a lost write-ahead log, a full disk when a
// request falls due.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/device/clock.h"
#include "platform/device/device.h"
#include "platform/notify/notify_db.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/run_program.h"
#include "tests/support/small_disk.h"
#include "tests/support/store_device.h"

namespace {

class NotifyFaults : public StoreDevice {
protected:
    // Pending requests by their arguments.
    std::map<std::wstring, int> requests_by_arguments() {
        std::map<std::wstring, int> out;
        for (const SeenRequest &r : stored_requests()) out[r.arguments]++;
        return out;
    }
    void jump_clock(long long seconds) {
        DeviceSettings ds = *device_settings();
        ds.clock_offset = seconds;
        ASSERT_TRUE(device_save_settings(&ds));
    }
};

TEST_F(NotifyFaults, ProgramsRearmingAtOnceWhileTheClockJumpsLeaveOneRequestPerAlarmAndOffClearsIt) {
    save_daily_alarm(0, 7, 0);
    save_daily_alarm(3, 8, 30);
    pid_t workers[2];
    for (pid_t &w : workers) w = start_program({REARM_WORKER, root, "150"});
    // The clock jumps to and fro meanwhile, as `velctl clock` does.
    for (int i = 0; waitpid(workers[0], nullptr, WNOHANG) == 0 || waitpid(workers[1], nullptr, WNOHANG) == 0; i++) {
        jump_clock((i % 7 - 3) * 86400LL + i * 37);
        usleep(3000);
    }
    for (pid_t w : workers) waitpid(w, nullptr, 0);
    EXPECT_EQ(requests_by_arguments(), (std::map<std::wstring, int>{{L"/ID:0", 1}, {L"/ID:3", 1}}));

    // Switched off, whatever handle the registry holds: here one that names nothing.
    load_store();
    alarm_record(0)->AlarmOn = 0;
    alarm_record(0)->AlarmHandle = 424242;
    save_alarm(0);
    schedule_all(nullptr);
    EXPECT_EQ(requests_by_arguments(), (std::map<std::wstring, int>{{L"/ID:3", 1}}));
    reload_alarm_handle(0);
    EXPECT_EQ(alarm_record(0)->AlarmHandle, 0u);
}

// The first programs of a new device make its database together: every one
// of them registers, none is told the file is busy.
TEST_F(NotifyFaults, ProgramsMakingTheDatabaseAtOnceAllRegister) {
    use_built_service(false);
    constexpr int ROUNDS = 60;
    constexpr int PROGRAMS = 4;
    for (int round = 0; round < ROUNDS; round++) {
        std::string fresh = make_temp_folder("fresh");
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        pid_t programs[PROGRAMS];
        for (int k = 0; k < PROGRAMS; k++) {
            programs[k] = fork();
            if (programs[k] == 0) {
                close(go[1]);
                char start;
                setenv("XDG_RUNTIME_DIR", fresh.c_str(), 1);  // goes with the folder
                bool ok = read(go[0], &start, 1) == 0 && device_open(fresh.c_str()) &&
                          add_request(L"\\IPSM\\Windows\\a.exe", k % 2 ? L"/ID:1" : L"/ID:2", local_in(60000), 5);
                if (!ok) {
                    char problem[512];
                    notify_last_problem(problem, sizeof problem);
                    fprintf(stderr, "program %d of round %d: %s\n", k, round, problem);
                }
                device_close();
                _exit(ok ? 0 : 1);
            }
        }
        close(go[0]);
        close(go[1]);  // all start at once
        int failed = 0;
        for (pid_t p : programs) {
            int status = 0;
            waitpid(p, &status, 0);
            failed += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        }
        remove_tree(fresh);
        ASSERT_EQ(failed, 0) << "round " << round;
    }
}

TEST_F(NotifyFaults, ARequestRegisteredTwiceForOneProgramAndCommandLineIsStoredOnce) {
    SYSTEMTIME due = local_in(3600 * 1000);
    HANDLE first = add_request(L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe", L"/ID:2", due, 5);
    HANDLE second = add_request(L"\\IPSM\\Application Data\\Velmora\\VELMGR.EXE", L"/ID:2", due, 5);
    HANDLE other = add_request(L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe", L"/ID:4", due, 5);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(requests_by_arguments(), (std::map<std::wstring, int>{{L"/ID:2", 1}, {L"/ID:4", 1}}));
    EXPECT_FALSE(CeClearUserNotification(first));  // replaced
    EXPECT_TRUE(CeClearUserNotification(second));
}

// What was committed must not depend on the -wal file: a crash of the
// filesystem or a backup of the database file alone would lose it.
TEST_F(NotifyFaults, CommittedRequestsAndClaimsAreInTheDatabaseFileItself) {
    HANDLE due = add_request(L"\\IPSM\\rec.exe", L"due", local_in(-1000), 5);
    HANDLE later = add_request(L"\\IPSM\\rec.exe", L"later", local_in(3600 * 1000), 5);
    ASSERT_NE(due, nullptr);
    ASSERT_NE(later, nullptr);
    bool claimed = false;
    long long next = 0;
    auto take = [](const plat::NotifyRequest &, long long *token) {
        *token = 77;
        return plat::ClaimOutcome::Launched;
    };
    ASSERT_TRUE(plat::notify_claim_due(clock_utc_ms(), take, &claimed, &next));
    ASSERT_TRUE(claimed);
    // The database file alone, copied while this process still has it open.
    std::string copy = root + "/copy.db";
    ASSERT_EQ(run_program({"/bin/cp", root + "/notify.db", copy}).exit_code, 0);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT arguments, fired FROM requests ORDER BY handle", -1, &st, nullptr),
              SQLITE_OK);
    std::string rows;
    while (sqlite3_step(st) == SQLITE_ROW)
        rows += std::string(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))) + ":" +
                std::to_string(sqlite3_column_int64(st, 1)) + " ";
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_EQ(rows, "due:77 later:0 ");
}

TEST_F(NotifyFaults, DatabaseFilesAreTheirOwnersAlone) {
    ASSERT_NE(add_request(L"\\IPSM\\rec.exe", L"x", local_in(3600 * 1000), 5), nullptr);
    save_settings();
    for (const char *name : {"notify.db", "notify.db-wal", "notify.db-shm", "registry.db", "registry.db-wal"}) {
        struct stat st;
        ASSERT_EQ(stat((root + "/" + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

// A disk that fills up must not cost an alarm: what falls due starts at its
// time, the condition is journalled once.
class FullDiskService : public NotifyFaults {
protected:
    void SetUp() override {
        if (getuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
        NotifyFaults::SetUp();
        free_alarm_table();
        device_close();
        ASSERT_TRUE(mount_small_disk(root, 8));
        mounted = true;
        ASSERT_TRUE(device_open(root.c_str()));
        record = root + ".record";
        setenv("VELMORA_RECORD", record.c_str(), 1);
        ASSERT_TRUE(install_recorder(L"\\IPSM\\rec.exe"));
        ASSERT_TRUE(start_service());
    }
    void TearDown() override {
        if (!mounted) return;
        kill_service();
        unsetenv("VELMORA_RECORD");
        unlink(record.c_str());
        TempDevice::TearDown();
        unmount_small_disk(root);
        rmdir(root.c_str());
    }
    size_t journal_lines_with(const std::string &text) {
        std::ifstream in(root + "/journal.log");
        size_t n = 0;
        for (std::string line; std::getline(in, line);) n += line.find(text) != std::string::npos;
        return n;
    }
    bool mounted = false;
    std::string record;
};

TEST_F(FullDiskService, DueRequestsStartAtTheirTimeAndTheFullDiskIsJournalledOnce) {
    long long first_due = host_now_ms() + 3000;
    for (int i = 0; i < 5; i++)
        ASSERT_NE(add_request(L"\\IPSM\\rec.exe", (L"/ID:" + std::to_wstring(i)).c_str(),
                              local_in(first_due - host_now_ms() + i * 500), 1),
                  nullptr);
    ASSERT_TRUE(fill_disk(root));
    auto seen = wait_for_records(5, first_due - host_now_ms() + 10000);
    ASSERT_EQ(seen.size(), 5u);
    for (const Record &r : seen) {
        int i = atoi(r.argument.c_str() + 4);
        long long late_ms = r.started_ns / 1000000 - (first_due + i * 500);
        EXPECT_LT(late_ms, 1500) << r.argument;
    }
    EXPECT_TRUE(stored_requests().empty());
    EXPECT_EQ(journal_lines_with("disk is full"), 1u);
    // Room again: what is registered now starts too.
    free_disk(root);
    ASSERT_NE(add_request(L"\\IPSM\\rec.exe", L"/ID:9", local_in(500), 1), nullptr);
    EXPECT_EQ(wait_for_records(6, 5000).size(), 6u);
}

}  // namespace

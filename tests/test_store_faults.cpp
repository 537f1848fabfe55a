// The store when its registry cannot be read as usual: another program holds
// it, its file is corrupt, its disk is full. What is stored is read when it
// can be, never taken for an empty store, and never saved over.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/settings.h"
#include "tests/support/live_service.h"
#include "tests/support/run_program.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_device.h"

namespace {

constexpr COLORREF USERS_COLOR = RGB(12, 34, 56);

class StoreFaults : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        setenv("VELMORA_NOTIFYD", "off", 1);
        marker = root + ".locked";
    }
    void TearDown() override {
        unlock();
        free_alarm_table();
        TempDevice::TearDown();
        unlink(marker.c_str());
    }
    // The user's own settings and first alarm, as a program saved them.
    void save_users_store() {
        load_store();
        Settings.SnoozeTime = 10;
        Settings.Color = USERS_COLOR;
        save_settings();
        Alarms.Records[0].AThour = 6;
        save_alarm(0);
        free_alarm_table();
    }
    // Drops this process's connection, so the next call opens the registry anew.
    void reopen() {
        device_close();
        ASSERT_TRUE(device_open(root.c_str()));
    }
    void lock(const char *how) {
        locker = start_program({REGISTRY_LOCKER, root, how, marker});
        for (int i = 0; i < 1000 && access(marker.c_str(), F_OK) != 0; i++) usleep(10000);
        ASSERT_EQ(access(marker.c_str(), F_OK), 0) << "the registry was never locked";
    }
    void unlock() {
        if (locker <= 0) return;
        kill(locker, SIGKILL);
        waitpid(locker, nullptr, 0);
        locker = -1;
    }
    // The settings and the first alarm as stored, read afresh.
    void expect_users_store_kept() {
        reopen();
        load_store();
        EXPECT_EQ(Settings.SnoozeTime, 10u);
        EXPECT_EQ(Settings.Color, USERS_COLOR);
        EXPECT_EQ(Alarms.Records[0].AThour, 6u);
        free_alarm_table();
    }
    ProgramResult velctl(const char *verb) { return run_program({built_velctl(), "--device", root, verb}); }
    std::string journal() {
        std::ifstream in(root + "/journal.log");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string marker;
    pid_t locker = -1;
};

TEST_F(StoreFaults, WhileAnotherProgramWritesTheStoreIsReadAtOnce) {
    save_users_store();
    reopen();
    lock("write");
    long long start = host_now_ms();
    load_store();
    EXPECT_LT(host_now_ms() - start, 1000);
    EXPECT_FALSE(Settings.LoadFailed);
    EXPECT_FALSE(Alarms.LoadFailed);
    EXPECT_EQ(Settings.SnoozeTime, 10u);
    EXPECT_EQ(Alarms.Records[0].AThour, 6u);
}

TEST_F(StoreFaults, AStoreNobodyCanReadIsGivenUpOnWithinSecondsAndNeverSavedOver) {
    save_users_store();
    reopen();
    lock("exclusive");
    long long start = host_now_ms();
    load_store();
    EXPECT_LT(host_now_ms() - start, 8000);
    EXPECT_TRUE(Settings.LoadFailed);
    EXPECT_TRUE(Alarms.LoadFailed);
    // What a program does at its end, and a change of the first alarm.
    save_settings();
    save_chime_settings();
    Alarms.Records[0].AThour = 9;
    save_alarm(0);
    free_alarm_table();
    unlock();
    expect_users_store_kept();
}

TEST_F(StoreFaults, ACorruptRegistryIsNeitherTakenForAnEmptyOneNorWrittenOver) {
    save_users_store();
    device_close();
    std::string path = root + "/registry.db";
    for (const char *suffix : {"-wal", "-shm"}) unlink((path + suffix).c_str());
    FILE *f = fopen(path.c_str(), "wb");
    for (int i = 0; i < 8192; i++) fputc("garbage!"[i % 8], f);
    fclose(f);
    for (const char *verb : {"settings", "alarms"}) {
        ProgramResult r = velctl(verb);
        EXPECT_EQ(r.exit_code, 1) << verb << ": " << r.out;
        EXPECT_NE(r.err.find("corrupt"), std::string::npos) << verb << ": " << r.err;
        EXPECT_EQ(r.out.find("SnoozeTime"), std::string::npos) << verb;
    }
    ASSERT_TRUE(device_open(root.c_str()));
    load_store();
    EXPECT_TRUE(Settings.LoadFailed);
    save_settings();
    char head[8] = {};
    f = fopen(path.c_str(), "rb");
    ASSERT_EQ(fread(head, 1, 8, f), 8u);
    fclose(f);
    EXPECT_EQ(std::string(head, 8), "garbage!");
}

TEST_F(StoreFaults, TheClockThatCannotReadItsStoreSaysSoAndSavesNothingAtItsEnd) {
    save_users_store();
    reopen();
    lock("exclusive");
    long long start = host_now_ms();
    pid_t clock = start_program({VELMORA_PROGRAM}, {"VELMORA_DEVICE=" + root});
    bool said = false;
    while (!said && host_now_ms() - start < 15000) {
        usleep(20000);
        said = journal().find("could not be read") != std::string::npos;
    }
    EXPECT_TRUE(said) << journal();
    EXPECT_LT(host_now_ms() - start, 10000);
    HWND window = nullptr;
    for (int i = 0; i < 500 && !(window = FindWindowW(L"Velmora", L"Velmora")); i++) usleep(10000);
    EXPECT_NE(window, nullptr) << "the clock never showed";
    EXPECT_EQ(stop_program(clock), 0);
    unlock();
    expect_users_store_kept();
}

class FullDisk : public StoreFaults {
protected:
    void SetUp() override {
        if (getuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
        StoreFaults::SetUp();
        ASSERT_TRUE(mount_small_disk(root, 4));
        mounted = true;
        reopen();
    }
    void TearDown() override {
        if (!mounted) return;
        TempDevice::TearDown();  // also closes the device before the disk goes
        unmount_small_disk(root);
        rmdir(root.c_str());
        unlink(marker.c_str());
    }
    bool mounted = false;
};

TEST_F(FullDisk, TheStoreIsReadAsStoredAndNothingIsSavedOverIt) {
    save_users_store();
    device_close();  // the last connection goes, and with it the database's shared memory
    ASSERT_TRUE(fill_disk(root));
    ProgramResult r = velctl("settings");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find("SnoozeTime = 10\n"), std::string::npos) << r.out << r.err;
    ASSERT_TRUE(device_open(root.c_str()));
    load_store();
    EXPECT_FALSE(Settings.LoadFailed);
    EXPECT_EQ(Settings.SnoozeTime, 10u);
    EXPECT_EQ(Alarms.Records[0].AThour, 6u);
    Settings.SnoozeTime = 20;
    save_settings();  // no room: nothing is written, and nothing is lost
    free_alarm_table();
    free_disk(root);
    expect_users_store_kept();
}

}  // namespace

// The built package installed, upgraded and removed by the built velpkg on a
// temporary device, with the real Velmgr, clock and notification service, or
// a stand-in clock where the test needs one that is slow to close or ignores
// the close message.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/device/device.h"
#include "platform/device/process.h"
#include "store/alarms.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"
#include "tools/velpkg/velpkg.h"

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t *MANAGER = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
constexpr const wchar_t *SHORTCUT = L"\\Windows\\Start Menu\\Programs\\Velmora.lnk";
constexpr const char *NOTE =
    "[Installation Complete] Please note that your Smartphone must be switched on in order to receive alarms.";

std::string host_of(const std::wstring &device_path) {
    char host[DEVICE_HOST_PATH];
    return device_host_path(device_path.c_str(), host, sizeof host) ? host : "";
}

class Install : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        use_built_service(true);
        ASSERT_TRUE(parse_manifest(read_whole_file(VELMORA_MANIFEST), manifest)) << problem();
    }
    void TearDown() override {
        end_device_processes();
        for (pid_t pid : started) waitpid(pid, nullptr, WNOHANG);
        TempDevice::TearDown();
    }

    ProgramResult velpkg(const std::vector<std::string> &words, int timeout_s = 30) {
        std::vector<std::string> argv = {VELPKG, "--device", root};
        argv.insert(argv.end(), words.begin(), words.end());
        return run_program(argv, {std::string("VELMORA_NOTIFYD=") + built_notifyd()}, -1, timeout_s);
    }
    void install() {
        ProgramResult r = velpkg({"install", VELMORA_PACKAGE});
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }
    std::string journal() { return read_whole_file(host("journal.log")); }
    bool window_appears(const wchar_t *name, int timeout_ms) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(20000))
            if (FindWindowW(name, name)) return true;
        return false;
    }
    DWORD owner_of(const wchar_t *name) {
        DWORD pid = 0;
        HWND w = FindWindowW(name, name);
        if (w) GetWindowThreadProcessId(w, &pid);
        return pid;
    }
    // The target of the Start Menu entry, "41#\"\\IPSM\\...\"".
    std::wstring shortcut_target() {
        std::string text = read_whole_file(host_of(SHORTCUT));
        size_t hash = text.find('#');
        if (hash == std::string::npos || text.size() < hash + 3) return L"";
        return plat::from_utf8(text.substr(hash + 2, text.size() - hash - 3).c_str());
    }
    pid_t start_clock() {
        std::wstring target = shortcut_target();
        PROCESS_INFORMATION info;
        if (!CreateProcessW(target.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info))
            return -1;
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        started.push_back(pid_t(info.dwProcessId));
        return pid_t(info.dwProcessId);
    }
    // The stand-in clock, a window "Velmora" that notes the close message,
    // with one more setting in its environment.
    pid_t start_standin(const char *setting, const char *value) {
        setenv("STANDIN_NOTE_CLOSE", "1", 1);
        setenv(setting, value, 1);
        pid_t pid = plat::spawn_program(built_main_standin(), {}, true);
        unsetenv(setting);
        unsetenv("STANDIN_NOTE_CLOSE");
        started.push_back(pid);
        return pid;
    }
    // Runs velpkg with `words` while the stand-in clock will not close: it must
    // be ended (SIGKILL) after 10 s and velpkg go on and succeed.
    ProgramResult ended_after_ten_seconds(pid_t standin, const std::vector<std::string> &words) {
        long long before = host_now_ms();
        ProgramResult r = velpkg(words, 40);
        long long took = host_now_ms() - before;
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_GE(took, 10000);
        EXPECT_LT(took, 14000);
        int status = 0;
        EXPECT_EQ(waitpid(standin, &status, 0), standin);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        return r;
    }
    // Waits until the resident manager is through its start-up (it arms the
    // alarms and saves them) and answers messages: only then may the test
    // change what it would overwrite.
    void settle_manager() {
        ASSERT_TRUE(window_appears(L"Velmgr", 5000));
        SendMessageW(FindWindowW(L"Velmgr", L"Velmgr"), WM_NULL, 0, 0);
    }
    std::vector<std::string> standin_log() {
        std::vector<std::string> lines;
        std::istringstream in(read_whole_file(host("IPSM/velmora.log")));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    Manifest manifest;
    std::vector<pid_t> started;
};

TEST_F(Install, IntoAnEmptyDeviceLaysEveryFileStartsTheManagerAndTheClockStartsFromTheShortcut) {
    ProgramResult r = velpkg({"install", VELMORA_PACKAGE});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find(NOTE), std::string::npos) << r.out;
    EXPECT_NE(journal().find(std::string("message box (information): ") + NOTE), std::string::npos);
    for (const PackageFile &f : manifest.files)
        EXPECT_EQ(read_whole_file(host_of(f.device_path)), read_whole_file(std::string(VELMORA_STAGE) + "/" + f.member))
            << plat::to_utf8(f.device_path.c_str());
    std::wstring dir;
    ASSERT_TRUE(get_text(L"\\Security\\AppInstall\\Tamsett Velmora", L"InstallDir", &dir));
    EXPECT_EQ(dir, L"\\IPSM\\Program Files\\Velmora");
    EXPECT_EQ(shortcut_target(), L"\\IPSM\\Program Files\\Velmora\\Velmora.exe");

    ASSERT_TRUE(window_appears(L"Velmgr", 5000));
    EXPECT_EQ(device_processes_of(host_of(MANAGER)).size(), 1u);
    std::string events;
    ASSERT_EQ(run_velctl({"events"}, &events), 0);
    EXPECT_NE(events.find("1\t\\IPSM\\Application Data\\Velmora\\Velmgr.exe"), std::string::npos) << events;
    EXPECT_NE(events.find("12\t\\IPSM\\Application Data\\Velmora\\Velmgr.exe"), std::string::npos) << events;

    ASSERT_GT(start_clock(), 0);
    EXPECT_TRUE(window_appears(L"Velmora", 10000));
    ProgramResult list = velpkg({"list"});
    EXPECT_EQ(list.out, "Velmora\t1.0.0\tTamsett\t\\IPSM\\Program Files\\Velmora\n");
}

TEST_F(Install, AgainOverTheRunningSystemClosesBothStartsOneManagerAndKeepsTheAlarms) {
    install();
    settle_manager();
    load_store();
    for (int i = 0; i < ALARM_COUNT; i++) {
        AlarmRecord *a = alarm_record(i);
        a->AlarmOn = i % 2;
        a->AThour = DWORD(5 + i);
        a->ATmin = DWORD(5 * i);
        swprintf(a->AlarmName, ALARM_NAME_CHARS, L"Wake %d", i);
    }
    save_alarms();
    ASSERT_GT(start_clock(), 0);
    ASSERT_TRUE(window_appears(L"Velmora", 10000));
    DWORD old_manager = owner_of(L"Velmgr"), old_clock = owner_of(L"Velmora");
    ASSERT_NE(old_manager, 0u);
    ASSERT_NE(old_clock, 0u);

    install();
    EXPECT_TRUE(process_gone(int(old_manager), 0));
    EXPECT_TRUE(process_gone(int(old_clock), 0));
    EXPECT_EQ(FindWindowW(L"Velmora", L"Velmora"), nullptr);
    ASSERT_TRUE(window_appears(L"Velmgr", 5000));
    EXPECT_NE(owner_of(L"Velmgr"), old_manager);
    usleep(300000);  // a second copy would have shown itself by now
    EXPECT_EQ(device_processes_of(host_of(MANAGER)).size(), 1u);
    load_alarms();
    for (int i = 0; i < ALARM_COUNT; i++) {
        EXPECT_EQ(alarm_record(i)->AlarmOn, DWORD(i % 2));
        EXPECT_EQ(alarm_record(i)->AThour, DWORD(5 + i));
        EXPECT_EQ(alarm_record(i)->ATmin, DWORD(5 * i));
        EXPECT_EQ(std::wstring(alarm_record(i)->AlarmName), L"Wake " + std::to_wstring(i));
    }
    free_alarm_table();
    EXPECT_EQ(journal().find("setup:"), std::string::npos);  // nothing had to be ended
}

TEST_F(Install, ClosesTheManagerBeforeTheClockAndWaitsForASlowClock) {
    install();
    ASSERT_TRUE(window_appears(L"Velmgr", 5000));
    start_standin("STANDIN_CLOSE_DELAY_MS", "700");
    ASSERT_TRUE(window_appears(L"Velmora", 5000));
    install();
    long long returned = host_now_ms();
    std::vector<std::string> log = standin_log();
    ASSERT_GE(log.size(), 2u);
    std::istringstream last(log.back());
    long long closed_at = 0;
    std::string what;
    last >> closed_at;
    std::getline(last, what);
    EXPECT_EQ(what, " close after-manager");
    EXPECT_GE(returned - closed_at, 700);  // the stand-in took 700 ms to close
    EXPECT_EQ(FindWindowW(L"Velmora", L"Velmora"), nullptr);
}

TEST_F(Install, AClockThatIgnoresTheCloseMessageIsEndedAfterTenSecondsAndTheInstallGoesOn) {
    install();
    pid_t standin = start_standin("STANDIN_IGNORE_CLOSE", "1");
    ASSERT_TRUE(window_appears(L"Velmora", 5000));
    ProgramResult r = ended_after_ten_seconds(standin, {"install", VELMORA_PACKAGE});
    std::string ended =
        "setup: Velmora did not close within 10 s; its process " + std::to_string(standin) + " was ended";
    EXPECT_NE(journal().find(ended), std::string::npos) << journal();
    EXPECT_NE(r.out.find(NOTE), std::string::npos);
    EXPECT_TRUE(window_appears(L"Velmgr", 5000));
}

TEST_F(Install, AClockThatHangsIsEndedAfterTenSecondsToo) {
    install();
    pid_t standin = start_standin("STANDIN_CLOSE_DELAY_MS", "0");
    ASSERT_TRUE(window_appears(L"Velmora", 5000));
    kill(standin, SIGSTOP);  // reads no message any more
    ended_after_ten_seconds(standin, {"remove", "Velmora"});
}

TEST_F(Install, RemovalLeavesNoRequestNoRegistrationNoFileAndTheUsersDocuments) {
    install();
    settle_manager();
    load_store();
    for (int i : {0, 3, 9}) {
        alarm_record(i)->AlarmOn = 1;
        alarm_record(i)->AThour = DWORD(i + 6);
        schedule_alarm(i, nullptr);
    }
    save_alarms();
    Settings.Chime = 1;
    schedule_chime(nullptr);
    Settings.Countdown = 1;
    Settings.CountdownTime = 45;
    start_countdown(nullptr);
    save_settings();
    free_alarm_table();
    HANDLE other = add_request(L"\\Windows\\calendar.exe", L"/remind", local_in(3600 * 1000), 10);
    std::ofstream(host("My Documents/trip.txt")) << "tickets";
    ASSERT_EQ(stored_requests().size(), 6u);

    ProgramResult r = velpkg({"remove", "Velmora"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<SeenRequest> left = stored_requests();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].handle, notify_handle_number(other));
    EXPECT_TRUE(event_registrations().empty());
    for (const PackageFile &f : manifest.files) EXPECT_FALSE(fs::exists(host_of(f.device_path))) << f.member;
    EXPECT_FALSE(fs::exists(host_of(SHORTCUT)));
    EXPECT_FALSE(fs::exists(host("Windows/AppMgr/Tamsett Velmora")));
    EXPECT_FALSE(fs::exists(host("IPSM/Program Files/Velmora")));
    EXPECT_FALSE(key_exists(L"\\Security\\AppInstall\\Tamsett Velmora"));
    EXPECT_EQ(read_whole_file(host("My Documents/trip.txt")), "tickets");
    DWORD hour = 0;
    EXPECT_TRUE(get_dword(L"Software\\Tamsett\\Velmora\\Alarms\\3", L"AThour", &hour));
    EXPECT_EQ(hour, 9u);
    EXPECT_TRUE(process_gone(int(owner_of(L"Velmgr")), 0));
    EXPECT_EQ(FindWindowW(L"Velmgr", L"Velmgr"), nullptr);
}

TEST_F(Install, ASecondInstallerWaitsUntilTheFirstIsDone) {
    int lock = open((std::string(device_runtime_dir()) + "/velpkg.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);  // as an install in progress holds it
    ProgramResult second;
    std::thread installer([&] { second = velpkg({"install", VELMORA_PACKAGE}); });
    usleep(500000);
    EXPECT_FALSE(fs::exists(host("Windows/AppMgr/Tamsett Velmora")));
    close(lock);
    installer.join();
    EXPECT_EQ(second.exit_code, 0) << second.err;
    EXPECT_NE(second.err.find("velpkg: waiting for another install or removal on this device"), std::string::npos);
    EXPECT_TRUE(fs::exists(host("Windows/AppMgr/Tamsett Velmora/manifest")));
}

// A real full disk: the device on a small tmpfs, which only root may mount.
TEST_F(Install, OnAFullDiskNothingIsInstalledAndOneLineSaysSo) {
    std::string small = make_temp_folder("full");
    if (mount("velmora-test", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
        remove_tree(small);
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << strerror(errno);
    }
    ASSERT_TRUE(device_open(small.c_str()));
    std::string before;
    for (auto &e : fs::recursive_directory_iterator(small)) before += e.path().string() + "\n";
    std::vector<std::string> argv = {VELPKG, "--device", small, "install", VELMORA_PACKAGE};
    ProgramResult r = run_program(argv, {"VELMORA_NOTIFYD=off"});
    std::string after;
    for (auto &e : fs::recursive_directory_iterator(small)) after += e.path().string() + "\n";
    device_close();
    umount(small.c_str());
    remove_tree(small);
    ASSERT_TRUE(device_open(root.c_str()));
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("velpkg: the device is full"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(after, before);
}

}  // namespace

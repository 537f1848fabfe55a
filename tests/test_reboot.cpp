// A reboot, simulated: with an alarm armed, every process of the device is
// killed as a machine going down would kill it; then only what a login
// starts runs (the systemd user unit's command, or the autostart entry's),
// the device clock passes the due time, and the alarm rings on the clock.
#include <unistd.h>

#include "platform/device/device.h"
#include "store/alarms.h"
#include "tests/support/device_processes.h"
#include "tests/support/live_service.h"
#include "tests/support/login_start.h"
#include "tests/support/notify_probe.h"
#include "tests/support/registry_values.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_device.h"

namespace {

// Where a login's start of the service is written.
struct LoginStart {
    const char *name;
    const char *file;
    const char *key;
};

void PrintTo(const LoginStart &start, std::ostream *out) { *out << start.name; }

class Reboot : public TempDevice, public ::testing::WithParamInterface<LoginStart> {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        use_built_service(true);
    }
    void TearDown() override {
        end_device_processes();
        TempDevice::TearDown();
    }
    // The request for alarm 1 ("/ID:0"), as Velmgr registered it; waits for it.
    bool alarm_armed_at(const std::string &when, int timeout_ms) {
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(50000))
            for (const SeenRequest &r : stored_requests())
                if (r.arguments == L"/ID:0" && stamp(r.start) == when) return true;
        return false;
    }
    // The clock started for alarm 1: Velmora.exe of the device with "/ID:0".
    bool clock_started_for_alarm(int timeout_ms) {
        char host[DEVICE_HOST_PATH];
        device_host_path(L"\\IPSM\\Program Files\\Velmora\\Velmora.exe", host, sizeof host);
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(50000))
            for (int pid : device_processes_of(host))
                if (process_arguments(pid) == std::vector<std::string>{"/ID:0"}) return true;
        return false;
    }
    // The window in front of the device's screen has this title.
    bool in_front(const std::string &title, int timeout_ms) {
        std::string want = "window: \"" + title + "\"";
        for (long long until = host_now_ms() + timeout_ms; host_now_ms() < until; usleep(50000)) {
            std::string out;
            if (run_velctl({"dialog"}, &out) == 0 && out.rfind(want, 0) == 0) return true;
        }
        return false;
    }
};

TEST_P(Reboot, OnlyWhatALoginStartsRingsAnAlarmArmedBeforeIt) {
    ProgramResult r = run_program({VELPKG, "--device", root, "install", VELMORA_PACKAGE},
                                  {std::string("VELMORA_NOTIFYD=") + built_notifyd()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AlarmOn", 1);
    put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"AThour", 7);
    put_dword(L"Software\\Tamsett\\Velmora\\Alarms\\0", L"ATmin", 0);
    // A clock change makes the running manager arm every alarm anew.
    ASSERT_EQ(run_velctl({"clock", "set", "2030-01-15 06:30:00"}), 0);
    ASSERT_TRUE(alarm_armed_at("2030-01-15 07:00:00.000", 10000));

    ASSERT_TRUE(end_device_processes());
    std::vector<std::string> login = login_command(VELMORA_PACKAGING_DIR, GetParam().file, GetParam().key);
    ASSERT_EQ(login.size(), 1u) << "the login starts the notification service alone";
    pid_t service = start_program(login, {"VELMORA_DEVICE=" + root});
    ASSERT_GT(service, 0);
    for (int i = 0; i < 100 && service_pid() != service; i++) usleep(50000);
    ASSERT_EQ(service_pid(), service);
    // The service and its waiting launcher, nothing else; the launcher is
    // forked once the service is up, so it is waited for.
    for (int i = 0; i < 100 && device_processes_of(built_notifyd()).size() < 2; i++) usleep(50000);
    EXPECT_EQ(device_processes_of(built_notifyd()), device_processes());

    ASSERT_EQ(run_velctl({"clock", "set", "2030-01-15 06:59:57"}), 0);
    EXPECT_TRUE(clock_started_for_alarm(20000));
    EXPECT_TRUE(in_front("Alarm 1", 20000)) << "the alarm's ringing dialog is not in front";
    stop_program(service);
}

INSTANTIATE_TEST_SUITE_P(Login, Reboot,
                         ::testing::Values(LoginStart{"SystemdUserUnit", "velmora-notifyd.service.in", "ExecStart="},
                                           LoginStart{"XdgAutostart", "velmora-notifyd.desktop.in", "Exec="}),
                         [](const ::testing::TestParamInfo<LoginStart> &info) { return std::string(info.param.name); });

}  // namespace

// velctl's clock, zone and notification verbs as people use them.
#include <cstdlib>

#include "platform/device/device.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/temp_device.h"

namespace {

class VelctlNotify : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        use_built_service(false);
    }
};

TEST_F(VelctlNotify, ClockAndZoneAreValidatedAndStored) {
    EXPECT_EQ(run_velctl({"clock", "set", "2025-13-01 00:00:00"}), 1);
    EXPECT_EQ(run_velctl({"clock", "set", "tomorrow"}), 1);
    EXPECT_EQ(run_velctl({"clock", "offset", "12abc"}), 1);
    EXPECT_EQ(run_velctl({"clock", "wind"}), 2);
    EXPECT_EQ(run_velctl({"tz", "set", "Mars/Olympus_Mons"}), 1);
    EXPECT_EQ(run_velctl({"tz", "set", "../../../etc/passwd"}), 1);
    EXPECT_EQ(device_settings()->clock_offset, 0);

    ASSERT_EQ(run_velctl({"tz", "set", "Europe/Berlin"}), 0);
    ASSERT_EQ(run_velctl({"clock", "set", "2030-01-15 08:30:00"}), 0);
    std::string shown;
    ASSERT_EQ(run_velctl({"clock"}, &shown), 0);
    EXPECT_EQ(shown.substr(0, 16), "2030-01-15 08:30") << shown;
    ASSERT_EQ(run_velctl({"tz"}, &shown.erase()), 0);
    EXPECT_EQ(shown, "Europe/Berlin\n");
    ASSERT_EQ(run_velctl({"clock", "offset", "-60"}), 0);
    EXPECT_EQ(device_settings()->clock_offset, -60);
    ASSERT_EQ(run_velctl({"tz", "set", "host"}), 0);
    EXPECT_STREQ(device_settings()->time_zone, "");
}

TEST_F(VelctlNotify, NotificationsAndEventsAreListedOneALine) {
    const wchar_t *manager = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    HANDLE h = add_request(manager, L"/ID:3", local_time(2031, 2, 3, 7, 0), 5);
    ASSERT_NE(h, nullptr);
    WCHAR app[MAX_PATH];
    wcscpy(app, manager);
    ASSERT_TRUE(CeRunAppAtEvent(app, NOTIFICATION_EVENT_TZ_CHANGE));
    std::string listed;
    ASSERT_EQ(run_velctl({"notifications"}, &listed), 0);
    EXPECT_EQ(listed, std::to_string(notify_handle_number(h)) +
                          "\t\\IPSM\\Application Data\\Velmora\\Velmgr.exe\t/ID:3\t2031-02-03 07:00:00\t"
                          "2031-02-03 07:05:00\n");
    ASSERT_EQ(run_velctl({"events"}, &listed.erase()), 0);
    EXPECT_EQ(listed, "12\t\\IPSM\\Application Data\\Velmora\\Velmgr.exe\n");
}

}  // namespace

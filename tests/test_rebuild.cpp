// The "Rebuild Alarms" command against a notification database that holds
// requests of Velmgr, stale ones and other programs'.
#include <algorithm>
#include <fstream>

#include "platform/device/clock_testing.h"
#include "platform/device/device.h"
#include "store/alarms.h"
#include "store/rebuild.h"
#include "store/scheduling.h"
#include "store/settings.h"
#include "tests/support/notify_probe.h"
#include "tests/support/live_service.h"
#include "tests/support/store_device.h"

namespace {

constexpr const wchar_t *REBUILT_TEXT =
    L"Please do not soft-reset your device for at least 2 minutes after performing this action.";

class Rebuild : public StoreDevice {
protected:
    void SetUp() override {
        StoreDevice::SetUp();
        SYSTEMTIME now = local_time(2025, 6, 4, 6, 0);
        clock_freeze_local(&now);
    }
    // A request as another program, or a stale copy of ours, would leave it.
    DWORD add_request(const wchar_t *application, const wchar_t *arguments) {
        return notify_handle_number(::add_request(application, arguments, local_time(2025, 6, 5, 9, 0), 0));
    }
    void enable(int i, int hour) {
        alarm_record(i)->AlarmOn = 1;
        alarm_record(i)->AThour = DWORD(hour);
        save_alarm(i);
    }
};

TEST_F(Rebuild, AnsweringNoChangesNothingAndShowsNothingMore) {
    DWORD stale = add_request(L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe", L"/ID:1");
    enable(0, 7);
    BoxRecorder boxes;
    boxes.answers.push_back(IDNO);
    rebuild_notifications(nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"Rebuild Alarms");
    EXPECT_EQ(boxes.boxes[0].text,
              L"This will remove all alarms and notifications owned by Velmora and rebuild them.\r\n\r\n"
              L"Are you sure you want to proceed?");
    EXPECT_EQ(boxes.boxes[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    auto all = stored_requests();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].handle, stale);
    EXPECT_TRUE(event_registrations().empty());
}

TEST_F(Rebuild, RemovesOnlyTheManagersRequestsInAnyLetterCase) {
    DWORD other = add_request(L"\\Windows\\calendar.exe", L"/remind");
    DWORD lookalike = add_request(L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe.bak", L"/ID:1");
    add_request(L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe", L"/ID:1");
    add_request(L"\\ipsm\\APPLICATION DATA\\velmora\\VELMGR.EXE", L"/ID:2");
    EXPECT_EQ(remove_owned_notifications(), 2);
    auto all = stored_requests();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].handle, other);
    EXPECT_EQ(all[1].handle, lookalike);
    EXPECT_EQ(remove_owned_notifications(), 0);
}

TEST_F(Rebuild, LeavesOneRequestPerEnabledAlarmAndTheChimeAndRegistersTheEvents) {
    const std::wstring manager = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    add_request(manager.c_str(), L"/ID:0");  // stale copies of ours
    add_request(manager.c_str(), L"/ID:0");
    add_request(manager.c_str(), L"/ID:254");
    DWORD other = add_request(L"\\Windows\\calendar.exe", L"");
    CeRunAppAtEvent(const_cast<WCHAR *>(L"\\old\\place\\Velmgr.exe"), NOTIFICATION_EVENT_TIME_CHANGE);
    enable(0, 7);
    enable(5, 8);
    alarm_record(5)->AlarmHandle = 999;  // stale handle
    save_alarm(5);
    Settings.Chime = 1;
    BoxRecorder boxes;
    rebuild_notifications(nullptr);

    auto all = stored_requests();
    std::vector<std::wstring> ours;
    for (const auto &r : all)
        if (r.application == manager) ours.push_back(r.arguments);
    std::sort(ours.begin(), ours.end());
    EXPECT_EQ(ours, (std::vector<std::wstring>{L"/ID:0", L"/ID:255", L"/ID:5"}));
    EXPECT_EQ(all.size(), 4u);
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const SeenRequest &r) { return r.handle == other; }));
    EXPECT_EQ(event_registrations(), (std::vector<std::wstring>{L"1 " + manager, L"1 \\old\\place\\Velmgr.exe",
                                                                  L"12 " + manager}));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].caption, L"Alarms Rebuilt");
    EXPECT_EQ(boxes.boxes[1].text, REBUILT_TEXT);
    EXPECT_EQ(boxes.boxes[1].type & MB_TYPEMASK, UINT(MB_OK));
}

TEST_F(Rebuild, ChimeOffClearsItsStoredHandle) {
    Settings.Chime = 0;
    ASSERT_EQ(schedule_chime(nullptr), 1);
    ASSERT_NE(Settings.ChimeHandle, 0u);
    BoxRecorder boxes;
    rebuild_notifications(nullptr);
    EXPECT_EQ(Settings.ChimeHandle, 0u);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(Rebuild, AnUnreadableDatabaseIsReportedAndTheRebuildGoesOn) {
    device_close();
    std::ofstream(root + "/notify.db") << "this is not a database, it is a broken file of some length........";
    ASSERT_TRUE(device_open(root.c_str()));
    enable(0, 7);
    BoxRecorder boxes;
    rebuild_notifications(nullptr);
    ASSERT_GE(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[1].text, L"Unable to retrieve count of notification handles");
    EXPECT_EQ(boxes.boxes[1].caption, L"Velmora Uninstall");
    EXPECT_EQ(boxes.boxes[2].text, L"Failed to set alarm!");
    EXPECT_EQ(boxes.boxes.back().caption, L"Alarms Rebuilt");
}

}  // namespace

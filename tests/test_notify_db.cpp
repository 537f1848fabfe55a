// The notification database as programs use it: handles, replacement,
// the two-call information record and event registrations.
#include <algorithm>
#include <cwchar>
#include <cstdlib>
#include <vector>

#include "platform/device/clock_testing.h"
#include "platform/device/device.h"
#include "platform/notify/notify_db.h"
#include "platform/phone.h"
#include "tests/support/live_service.h"
#include "tests/support/notify_probe.h"
#include "tests/support/temp_device.h"

namespace {

class NotifyDb : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        setenv("VELMORA_NOTIFYD", "off", 1);
        trigger.dwSize = sizeof trigger;
        trigger.dwType = CNT_TIME;
        trigger.lpszApplication = app;
        trigger.lpszArguments = args;
        trigger.stStartTime = local_time(2025, 3, 30, 2, 30);
        trigger.stEndTime = local_time(2025, 3, 30, 2, 35);
    }
    HANDLE add() { return CeSetUserNotificationEx(nullptr, &trigger, nullptr); }
    // A request of its own command line: one of the same would replace the last.
    HANDLE add_for(int id) {
        swprintf(args, 16, L"/ID:%d", id);
        return add();
    }
    WCHAR app[64] = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    WCHAR args[16] = L"/ID:3";
    CE_NOTIFICATION_TRIGGER trigger{};
};

TEST_F(NotifyDb, HandlesAreNonZeroDistinctAndNotReusedAfterAClear) {
    std::vector<DWORD> seen;
    for (int i = 0; i < 5; i++) seen.push_back(notify_handle_number(add_for(i)));
    ASSERT_TRUE(CeClearUserNotification(notify_handle_of(seen[4])));
    EXPECT_FALSE(CeClearUserNotification(notify_handle_of(seen[4])));
    device_close();  // another program, same device
    ASSERT_TRUE(device_open(root.c_str()));
    seen.push_back(notify_handle_number(add_for(5)));
    std::vector<DWORD> sorted = seen;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0u), 0);
    EXPECT_EQ(stored_requests().size(), 5u);
}

TEST_F(NotifyDb, ReplacingKeepsTheHandleAndAHandleNoLongerStoredGivesNull) {
    HANDLE h = add();
    trigger.stStartTime = local_time(2025, 4, 1, 6, 0);
    wcscpy(args, L"/ID:4");
    EXPECT_EQ(CeSetUserNotificationEx(h, &trigger, nullptr), h);
    auto all = stored_requests();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(stamp(all[0].start), "2025-04-01 06:00:00.000");
    EXPECT_EQ(all[0].arguments, L"/ID:4");
    ASSERT_TRUE(CeClearUserNotification(h));
    EXPECT_EQ(CeSetUserNotificationEx(h, &trigger, nullptr), nullptr);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(NotifyDb, TheInformationRecordIsSizedByAFirstCall) {
    HANDLE h = add();
    DWORD needed = 0;
    EXPECT_FALSE(CeGetUserNotification(h, 0, &needed, nullptr));
    ASSERT_GT(needed, sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER));
    std::vector<BYTE> small(needed - 1), exact(needed);
    DWORD again = 0;
    EXPECT_FALSE(CeGetUserNotification(h, needed - 1, &again, small.data()));
    EXPECT_EQ(again, needed);
    ASSERT_TRUE(CeGetUserNotification(h, needed, &again, exact.data()));
    auto *info = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER *>(exact.data());
    EXPECT_EQ(info->hNotification, h);
    ASSERT_NE(info->pcent, nullptr);
    // Every pointer lies inside the caller's buffer.
    auto inside = [&](const void *p) { return p >= exact.data() && p < exact.data() + exact.size(); };
    EXPECT_TRUE(inside(info->pcent) && inside(info->pceun) && inside(info->pcent->lpszApplication) &&
                inside(info->pcent->lpszArguments));
    EXPECT_STREQ(info->pcent->lpszApplication, app);
    EXPECT_STREQ(info->pcent->lpszArguments, L"/ID:3");
    EXPECT_EQ(info->pcent->dwType, DWORD(CNT_TIME));
    EXPECT_EQ(stamp(info->pcent->stEndTime), "2025-03-30 02:35:00.000");
    EXPECT_EQ(info->pceun->ActionFlags, 0u);

    DWORD gone = 1;
    EXPECT_FALSE(CeGetUserNotification(notify_handle_of(12345), 0, &gone, nullptr));
    EXPECT_EQ(gone, 0u);
}

TEST_F(NotifyDb, HandleListTellsItsSizeAndRefusesTooSmallARoom) {
    HANDLE a = add_for(0), b = add_for(1), c = add_for(2);
    DWORD needed = 0;
    ASSERT_TRUE(CeGetUserNotificationHandles(nullptr, 0, &needed));
    EXPECT_EQ(needed, 3u);
    HANDLE two[2] = {};
    EXPECT_FALSE(CeGetUserNotificationHandles(two, 2, &needed));
    EXPECT_EQ(needed, 3u);
    HANDLE three[3] = {};
    ASSERT_TRUE(CeGetUserNotificationHandles(three, 3, &needed));
    EXPECT_EQ(three[0], a);
    EXPECT_EQ(three[1], b);
    EXPECT_EQ(three[2], c);
}

TEST_F(NotifyDb, RequestsThisServiceCannotCarryOutAreRefused) {
    CE_NOTIFICATION_TRIGGER good = trigger;
    trigger.dwSize = 52 - 1;
    EXPECT_EQ(add(), nullptr);
    trigger = good;
    trigger.dwType = CNT_PERIOD;
    EXPECT_EQ(add(), nullptr);
    trigger = good;
    trigger.lpszApplication = const_cast<WCHAR *>(L"Velmgr.exe");  // not a device path
    EXPECT_EQ(add(), nullptr);
    trigger = good;
    trigger.stStartTime.wMonth = 13;
    EXPECT_EQ(add(), nullptr);
    trigger = good;
    CE_USER_NOTIFICATION sound{};
    sound.ActionFlags = 1;
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, &trigger, &sound), nullptr);
    EXPECT_EQ(CeSetUserNotificationEx(nullptr, nullptr, nullptr), nullptr);
    EXPECT_TRUE(stored_requests().empty());
}

TEST_F(NotifyDb, EventZeroRemovesEveryRegistrationOfTheProgramInAnyCase) {
    WCHAR ours[] = L"\\IPSM\\Application Data\\Velmora\\Velmgr.exe";
    WCHAR shouted[] = L"\\IPSM\\APPLICATION DATA\\VELMORA\\VELMGR.EXE";
    WCHAR theirs[] = L"\\Windows\\clock.exe";
    ASSERT_TRUE(CeRunAppAtEvent(ours, NOTIFICATION_EVENT_TIME_CHANGE));
    ASSERT_TRUE(CeRunAppAtEvent(ours, NOTIFICATION_EVENT_TZ_CHANGE));
    ASSERT_TRUE(CeRunAppAtEvent(shouted, NOTIFICATION_EVENT_TIME_CHANGE));  // the same program once more
    ASSERT_TRUE(CeRunAppAtEvent(theirs, NOTIFICATION_EVENT_TIME_CHANGE));
    EXPECT_FALSE(CeRunAppAtEvent(ours, 5));  // an event that never happens here
    LONG event;
    WCHAR name[MAX_PATH];
    int count = 0;
    while (notify_event_registration(DWORD(count), &event, name, MAX_PATH)) count++;
    EXPECT_EQ(count, 3);
    ASSERT_TRUE(CeRunAppAtEvent(shouted, NOTIFICATION_EVENT_NONE));
    ASSERT_TRUE(notify_event_registration(0, &event, name, MAX_PATH));
    EXPECT_EQ(event, 1);
    EXPECT_STREQ(name, theirs);
    EXPECT_FALSE(notify_event_registration(1, &event, name, MAX_PATH));
}

// A request the service has claimed stays stored, marked with the claim's
// token, until its launcher is done: its handle is not given out again, and
// to programs it is gone.
TEST_F(NotifyDb, AFiredRequestKeepsItsHandleButCannotBeSeenReplacedOrCleared) {
    HANDLE fired = add();
    trigger.stStartTime = local_time(2099, 1, 1, 6, 0);
    trigger.stEndTime = local_time(2099, 1, 1, 6, 5);
    HANDLE later = add_for(4);
    long long given = 0;
    bool claimed = false;
    long long next = 0;
    auto take = [&](const plat::NotifyRequest &r, long long *token) {
        EXPECT_EQ(r.handle, notify_handle_number(fired));
        *token = given = 0x1234567890LL;
        return plat::ClaimOutcome::Launched;
    };
    ASSERT_TRUE(plat::notify_claim_due(clock_utc_ms(), take, &claimed, &next));
    ASSERT_TRUE(claimed);

    DWORD count = 0, size = 7;
    ASSERT_TRUE(CeGetUserNotificationHandles(nullptr, 0, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_FALSE(CeGetUserNotification(fired, 0, &size, nullptr));
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(CeSetUserNotificationEx(fired, &trigger, nullptr), nullptr);
    EXPECT_FALSE(CeClearUserNotification(fired));
    // A new request of the fired one's command line leaves it alone.
    HANDLE again = add_for(3);
    EXPECT_NE(again, fired);

    // The next claim looks past it to the request of 2099.
    ASSERT_TRUE(plat::notify_claim_due(clock_utc_ms(), take, &claimed, &next));
    EXPECT_FALSE(claimed);
    EXPECT_GT(next, clock_utc_ms());

    // The claim's launcher finds its request by its token alone, and only it.
    plat::FiredRequest f{notify_handle_number(fired), given};
    plat::NotifyRequest claimed_request;
    ASSERT_TRUE(plat::notify_fired_request(given, claimed_request));
    EXPECT_EQ(claimed_request.handle, f.handle);
    EXPECT_EQ(claimed_request.arguments, L"/ID:3");
    EXPECT_FALSE(plat::notify_fired_request(given + 1, claimed_request));
    ASSERT_EQ(plat::notify_fired_requests().size(), 1u);
    EXPECT_TRUE(plat::notify_forget_fired(f));
    EXPECT_FALSE(plat::notify_fired_request(given, claimed_request));
    EXPECT_TRUE(plat::notify_fired_requests().empty());
    EXPECT_TRUE(CeClearUserNotification(later));
    EXPECT_TRUE(CeClearUserNotification(again));
}

// A claim whose launcher could not be started changes nothing.
TEST_F(NotifyDb, AFailedClaimLeavesTheRequestPending) {
    HANDLE h = add();
    bool claimed = true;
    long long next = 0;
    auto fail = [](const plat::NotifyRequest &, long long *) { return plat::ClaimOutcome::Failed; };
    EXPECT_FALSE(plat::notify_claim_due(clock_utc_ms(), fail, &claimed, &next));
    EXPECT_FALSE(claimed);
    EXPECT_TRUE(plat::notify_fired_requests().empty());
    EXPECT_TRUE(CeClearUserNotification(h));
}

}  // namespace

namespace {

class DueTimes : public TempDevice {
protected:
    void SetUp() override {
        TempDevice::SetUp();
        DeviceSettings s = *device_settings();
        snprintf(s.time_zone, sizeof s.time_zone, "Europe/Berlin");
        ASSERT_TRUE(device_save_settings(&s));
    }
    // A wall-clock reading in 2025 as milliseconds; read as UTC or as local.
    long long local(int month, int day, int hour, int minute) {
        SYSTEMTIME t = local_time(2025, month, day, hour, minute);
        return clock_ms_from_systemtime(&t);
    }
    long long utc(int month, int day, int hour, int minute) { return local(month, day, hour, minute); }
    static constexpr long long HOUR = 3600000;
};

TEST_F(DueTimes, DstChangesAndLateRegistrationsGiveTheInstantTheClockFirstReachesTheTime) {
    const long long spring_change = 1743296400000LL;  // 2025-03-30 01:00 UTC
    const long long autumn_first = 1761438600000LL;   // 2025-10-26 02:30 CEST = 00:30 UTC
    // Skipped by the spring change: due at the change.
    EXPECT_EQ(plat::notify_due_utc(local(3, 30, 2, 30), spring_change - HOUR), spring_change);
    // In the repeated hour: the first pass, or the second when registered in it.
    EXPECT_EQ(plat::notify_due_utc(local(10, 26, 2, 30), autumn_first - HOUR), autumn_first);
    EXPECT_EQ(plat::notify_due_utc(local(10, 26, 2, 30), autumn_first + HOUR - 2000), autumn_first + HOUR);
    // Already passed when registered (07:10 CEST): overdue since 07:00 CEST.
    EXPECT_EQ(plat::notify_due_utc(local(6, 4, 7, 0), utc(6, 4, 5, 10)), utc(6, 4, 5, 0));
}

// Claims walk the requests in local order: one registered in the repeated
// hour falls due after a later local time registered before it.
TEST_F(DueTimes, AClaimFindsTheEarliestDueAcrossTheRepeatedHour) {
    setenv("VELMORA_NOTIFYD", "off", 1);
    const long long autumn_first = 1761436800000LL;  // 2025-10-26 02:00 CEST = 00:00 UTC
    auto add_at = [](const wchar_t *arguments, int hour, int minute) {
        return add_request(L"\\IPSM\\rec.exe", arguments, local_time(2025, 10, 26, hour, minute), 5);
    };
    clock_freeze_utc(autumn_first);
    ASSERT_NE(add_at(L"second", 2, 45), nullptr);  // falls due 00:45 UTC, in the first pass
    ASSERT_NE(add_at(L"fourth", 4, 0), nullptr);
    clock_freeze_utc(autumn_first + 70 * 60000);  // 02:10 CET, the second pass
    ASSERT_NE(add_at(L"third", 2, 30), nullptr);  // falls due 01:30 UTC
    clock_thaw();
    std::vector<std::wstring> order;
    auto take = [&](const plat::NotifyRequest &r, long long *) {
        order.push_back(r.arguments);
        return plat::ClaimOutcome::Dropped;
    };
    bool claimed = true;
    long long next = 0;
    ASSERT_TRUE(plat::notify_claim_due(autumn_first + 50 * 60000, take, &claimed, &next));
    EXPECT_TRUE(claimed);
    ASSERT_TRUE(plat::notify_claim_due(autumn_first + 50 * 60000, take, &claimed, &next));
    EXPECT_FALSE(claimed);
    EXPECT_EQ(next, autumn_first + 90 * 60000);
    ASSERT_TRUE(plat::notify_claim_due(autumn_first + 3 * HOUR, take, &claimed, &next));
    ASSERT_TRUE(plat::notify_claim_due(autumn_first + 3 * HOUR, take, &claimed, &next));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"second", L"third", L"fourth"}));
}

}  // namespace

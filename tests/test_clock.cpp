// The device clock and the phone's time conversions, in a zone with DST.
#include <gtest/gtest.h>

#include "platform/device/clock_testing.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/temp_device.h"

namespace {

SYSTEMTIME at(int y, int mo, int d, int h, int mi, int s = 0) {
    SYSTEMTIME t = {};
    t.wYear = WORD(y), t.wMonth = WORD(mo), t.wDay = WORD(d), t.wHour = WORD(h), t.wMinute = WORD(mi),
    t.wSecond = WORD(s);
    return t;
}

class Clock : public TempDevice {
protected:
    void set_zone(const char *zone, long long offset = 0) {
        DeviceSettings ds = *device_settings();
        snprintf(ds.time_zone, sizeof ds.time_zone, "%s", zone);
        ds.clock_offset = offset;
        ASSERT_TRUE(device_save_settings(&ds));
    }
    void TearDown() override {
        set_zone("");
        TempDevice::TearDown();
    }
};

TEST_F(Clock, FileTimesRoundTripAndRecomputeTheWeekday) {
    SYSTEMTIME t = at(2026, 12, 8, 23, 59, 59), back;
    t.wDayOfWeek = 6;  // wrong on purpose: it is never read
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&t, &ft));
    ULARGE_INTEGER u;
    u.u.LowPart = ft.dwLowDateTime, u.u.HighPart = ft.dwHighDateTime;
    u.QuadPart += 10000000ULL;  // one second later is the next day
    ft.dwLowDateTime = u.u.LowPart, ft.dwHighDateTime = u.u.HighPart;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(back.wDay, 9);
    EXPECT_EQ(back.wHour, 0);
    EXPECT_EQ(back.wDayOfWeek, 3);  // a Wednesday
    SYSTEMTIME leap = at(2028, 2, 29, 0, 0), bad = at(2027, 2, 29, 0, 0), late = at(2026, 1, 1, 24, 0);
    EXPECT_TRUE(SystemTimeToFileTime(&leap, &ft));
    EXPECT_FALSE(SystemTimeToFileTime(&bad, &ft));
    EXPECT_FALSE(SystemTimeToFileTime(&late, &ft));
}

TEST_F(Clock, TheDeviceOffsetMovesTheLocalClock) {
    set_zone("UTC", 0);
    long long before = clock_utc_ms();
    set_zone("UTC", 86400);
    long long after = clock_utc_ms();
    EXPECT_NEAR(double(after - before), 86400000.0, 5000.0);
}

TEST_F(Clock, LocalTimesSkippedOrRepeatedByDaylightSavingMapToOneInstant) {
    set_zone("Europe/Berlin");
    // 2026-03-29 02:30 does not exist in Berlin: it falls due at 03:00 CEST.
    SYSTEMTIME gap = at(2026, 3, 29, 2, 30);
    long long u = clock_utc_for_local(clock_ms_from_systemtime(&gap));
    SYSTEMTIME change = at(2026, 3, 29, 1, 0);
    EXPECT_EQ(u, clock_ms_from_systemtime(&change));
    // 2026-10-25 02:30 happens twice: the first time, still in CEST.
    SYSTEMTIME twice = at(2026, 10, 25, 2, 30), first = at(2026, 10, 25, 0, 30);
    EXPECT_EQ(clock_utc_for_local(clock_ms_from_systemtime(&twice)), clock_ms_from_systemtime(&first));
    // An ordinary winter time is one hour ahead of UTC.
    SYSTEMTIME winter = at(2026, 12, 8, 7, 0), winter_utc = at(2026, 12, 8, 6, 0);
    EXPECT_EQ(clock_utc_for_local(clock_ms_from_systemtime(&winter)), clock_ms_from_systemtime(&winter_utc));
}

TEST_F(Clock, AFrozenClockStandsStillAndVirtualSleepMovesIt) {
    set_zone("America/New_York");
    SYSTEMTIME noon = at(2026, 7, 4, 12, 0, 0), now;
    clock_freeze_local(&noon);
    GetLocalTime(&now);
    EXPECT_EQ(now.wHour, 12);
    EXPECT_EQ(now.wDayOfWeek, 6);  // a Saturday
    GetSystemTime(&now);
    EXPECT_EQ(now.wHour, 16);  // EDT is four hours behind
    clock_set_virtual_sleep(true);
    Sleep(90 * 1000);
    GetLocalTime(&now);
    EXPECT_EQ(now.wMinute, 1);
    EXPECT_EQ(now.wSecond, 30);
}

TEST(Locale, TheCLocaleSpeaksEnglishIn24Hours) {
    WCHAR buf[64];
    ASSERT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, buf, 64), 2);
    EXPECT_STREQ(buf, L"1");
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME1, buf, 64);
    EXPECT_STREQ(buf, L"Monday");  // the phone's first day name is Monday
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7, buf, 64);
    EXPECT_STREQ(buf, L"Sunday");
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + 11, buf, 64);
    EXPECT_STREQ(buf, L"Dec");
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, buf, 1), 0);  // too small
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, nullptr, 0), 2);
    SYSTEMTIME t = at(2026, 12, 8, 7, 5, 9);
    t.wDayOfWeek = 2;
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &t, nullptr, buf, 64);
    EXPECT_STREQ(buf, L"07:05");
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &t, L"ddd", buf, 64);
    EXPECT_STREQ(buf, L"Tue");
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &t, L"dddd d MMM yyyy", buf, 64);
    EXPECT_STREQ(buf, L"Tuesday 8 Dec 2026");
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, L"h:mm:ss tt", buf, 64);
    EXPECT_STREQ(buf, L"7:05:09 AM");
}

}  // namespace

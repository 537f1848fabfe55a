#include "platform/device/clock_testing.h"
#include "platform/device/clock.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/device/device.h"

namespace {

struct ClockState {
    std::mutex lock;
    std::atomic<bool> frozen{false};
    std::atomic<long long> frozen_utc{0};
    std::atomic<bool> virtual_sleep{false};
    bool zone_applied = false;
    unsigned zone_generation = 0;
    std::string host_tz;  // TZ as the process found it
    bool host_tz_set = false;
    bool host_tz_saved = false;
};

ClockState &clk() {
    static ClockState c;
    return c;
}

constexpr long long MS_PER_DAY = 86400000LL;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long days_from_civil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = unsigned(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

void civil_from_days(long long z, int &y, unsigned &m, unsigned &d) {
    z += 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = unsigned(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = int(yoe + era * 400);
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

unsigned days_in_month(int y, unsigned m) {
    static const unsigned DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : DAYS[m - 1];
}

// Makes the process's zone the device's. Called before every conversion;
// cheap unless the device settings changed.
void apply_zone_locked(ClockState &c, bool force) {
    unsigned gen = device_settings_generation();
    if (c.zone_applied && gen == c.zone_generation && !force) return;
    if (!c.host_tz_saved) {
        const char *tz = getenv("TZ");
        c.host_tz_set = tz != nullptr;
        c.host_tz = tz ? tz : "";
        c.host_tz_saved = true;
    }
    const DeviceSettings *ds = device_settings();
    if (force) {
        // glibc keeps zone rules while TZ is unchanged; a detour makes it reload.
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    if (ds->time_zone[0]) {
        std::string tz = std::string(":") + ds->time_zone;
        setenv("TZ", tz.c_str(), 1);
    } else if (c.host_tz_set) {
        setenv("TZ", c.host_tz.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    c.zone_applied = true;
    c.zone_generation = gen;
}

long long offset_at(long long utc_ms) {
    time_t t = time_t(utc_ms >= 0 ? utc_ms / 1000 : (utc_ms - 999) / 1000);
    struct tm tm;
    if (!localtime_r(&t, &tm)) return 0;
    return (long long)tm.tm_gmtoff * 1000;
}

}  // namespace

long long clock_ms_from_systemtime(const SYSTEMTIME *t) {
    return days_from_civil(t->wYear, t->wMonth, t->wDay) * MS_PER_DAY + t->wHour * 3600000LL +
           t->wMinute * 60000LL + t->wSecond * 1000LL + t->wMilliseconds;
}

void clock_systemtime_from_ms(long long ms, LPSYSTEMTIME t) {
    long long days = ms >= 0 ? ms / MS_PER_DAY : -((-ms + MS_PER_DAY - 1) / MS_PER_DAY);
    long long rest = ms - days * MS_PER_DAY;
    int y;
    unsigned m, d;
    civil_from_days(days, y, m, d);
    t->wYear = WORD(y);
    t->wMonth = WORD(m);
    t->wDay = WORD(d);
    t->wDayOfWeek = WORD(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
    t->wHour = WORD(rest / 3600000);
    t->wMinute = WORD(rest / 60000 % 60);
    t->wSecond = WORD(rest / 1000 % 60);
    t->wMilliseconds = WORD(rest % 1000);
}

long long clock_utc_ms(void) {
    ClockState &c = clk();
    if (c.frozen.load()) return c.frozen_utc.load();
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    long long host = (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
    return host + device_settings()->clock_offset * 1000;
}

long long clock_local_ms(long long utc_ms) {
    ClockState &c = clk();
    std::lock_guard<std::mutex> g(c.lock);
    apply_zone_locked(c, false);
    return utc_ms + offset_at(utc_ms);
}

long long clock_utc_for_local(long long local_ms) {
    ClockState &c = clk();
    std::lock_guard<std::mutex> g(c.lock);
    apply_zone_locked(c, false);
    // Zone offsets lie within +-15 h; try the offsets in force around the
    // wanted time, earliest instant first.
    const long long span = 15 * 3600000LL;
    long long best = 0;
    bool found = false;
    for (long long probe : {local_ms - span, local_ms - span / 3, local_ms, local_ms + span / 3, local_ms + span}) {
        long long off = offset_at(probe);
        long long u = local_ms - off;
        if (offset_at(u) == off && (!found || u < best)) best = u, found = true;
    }
    if (found) return best;
    // Skipped by a change: the first instant whose local time is later.
    long long lo = local_ms - span, hi = local_ms + span;
    while (hi - lo > 1) {
        long long mid = lo + (hi - lo) / 2;
        if (mid + offset_at(mid) >= local_ms)
            hi = mid;
        else
            lo = mid;
    }
    return hi;
}

void GetSystemTime(LPSYSTEMTIME time) {
    if (time) clock_systemtime_from_ms(clock_utc_ms(), time);
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (time) clock_systemtime_from_ms(clock_local_ms(clock_utc_ms()), time);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME *t, LPFILETIME ft) {
    if (!t || !ft) return FALSE;
    if (t->wYear < 1601 || t->wYear > 30827 || t->wMonth < 1 || t->wMonth > 12 || t->wDay < 1 ||
        t->wDay > days_in_month(t->wYear, t->wMonth) || t->wHour > 23 || t->wMinute > 59 || t->wSecond > 59 ||
        t->wMilliseconds > 999)
        return FALSE;
    long long units = clock_ms_from_systemtime(t) * 10000 + FILETIME_UNIX_EPOCH;
    ft->dwLowDateTime = DWORD(units & 0xFFFFFFFF);
    ft->dwHighDateTime = DWORD((unsigned long long)units >> 32);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME *ft, LPSYSTEMTIME t) {
    if (!ft || !t) return FALSE;
    unsigned long long units = ((unsigned long long)ft->dwHighDateTime << 32) | ft->dwLowDateTime;
    if (units > 0x7FFFFFFFFFFFFFFFull) return FALSE;
    clock_systemtime_from_ms((long long)(units / 10000) - FILETIME_UNIX_EPOCH / 10000, t);
    return TRUE;
}

DWORD GetTickCount(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return DWORD((unsigned long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

void Sleep(DWORD ms) {
    ClockState &c = clk();
    if (c.frozen.load() && c.virtual_sleep.load()) {
        c.frozen_utc.fetch_add(ms);
        return;
    }
    struct timespec ts = {time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void clock_freeze_utc(long long utc_ms) {
    clk().frozen_utc.store(utc_ms);
    clk().frozen.store(true);
}

void clock_freeze_local(const SYSTEMTIME *local) { clock_freeze_utc(clock_utc_for_local(clock_ms_from_systemtime(local))); }

void clock_set_virtual_sleep(bool on) { clk().virtual_sleep.store(on); }

void clock_thaw(void) {
    clk().frozen.store(false);
    clk().virtual_sleep.store(false);
}


void clock_reload_zone(void) {
    ClockState &c = clk();
    std::lock_guard<std::mutex> g(c.lock);
    apply_zone_locked(c, true);
}

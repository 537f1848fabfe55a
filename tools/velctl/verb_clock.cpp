// The device clock and zone. Both are device settings; notifyd sees a change
// as a clock or zone change of the whole device.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tools/velctl/verbs.h"

namespace {

long long host_now_ms() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

bool parse_local(const char *text, SYSTEMTIME &t) {
    int y, mo, d, h, mi, s;
    char tail;
    if (sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6) return false;
    t = SYSTEMTIME{WORD(y), WORD(mo), 0, WORD(d), WORD(h), WORD(mi), WORD(s), 0};
    FILETIME check;
    return y >= 1970 && y <= 9999 && SystemTimeToFileTime(&t, &check);
}

bool parse_seconds(const char *text, long long &value) {
    errno = 0;
    char *end = nullptr;
    value = strtoll(text, &end, 10);
    return *text && !errno && !*end;
}

int save_offset(long long offset) {
    if (offset < -DEVICE_MAX_CLOCK_OFFSET || offset > DEVICE_MAX_CLOCK_OFFSET)
        return velctl_fail("the device clock may be at most %lld years from the host's",
                           DEVICE_MAX_CLOCK_OFFSET / (366 * 86400));
    DeviceSettings s = *device_settings();
    s.clock_offset = offset;
    if (!device_save_settings(&s)) return velctl_fail("%s", device_error());
    return VELCTL_OK;
}

int show_clock() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    printf("%04u-%02u-%02u %02u:%02u:%02u (offset %lld s)\n", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
           t.wSecond, device_settings()->clock_offset);
    return VELCTL_OK;
}

// A zone is a TZif file under /usr/share/zoneinfo, named without "..".
bool known_zone(const char *name) {
    if (!*name || name[0] == '/' || strstr(name, "..") || strlen(name) >= sizeof(DeviceSettings{}.time_zone))
        return false;
    std::string path = std::string("/usr/share/zoneinfo/") + name;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    FILE *f = fopen(path.c_str(), "rb");
    char magic[4] = {};
    bool ok = f && fread(magic, 1, 4, f) == 4 && memcmp(magic, "TZif", 4) == 0;
    if (f) fclose(f);
    return ok;
}

}  // namespace

int verb_clock(int argc, char **argv) {
    if (argc == 0) return show_clock();
    if (argc == 2 && strcmp(argv[0], "set") == 0) {
        SYSTEMTIME t;
        if (!parse_local(argv[1], t)) return velctl_fail("'%s' is not a time 'YYYY-MM-DD HH:MM:SS'", argv[1]);
        long long device_utc = clock_utc_for_local(clock_ms_from_systemtime(&t));
        // The offset is whole seconds: round up, so the clock reads the time
        // given (and a fraction of a second more), never the second before.
        long long ahead = device_utc - host_now_ms();
        return save_offset(ahead >= 0 ? (ahead + 999) / 1000 : -((-ahead) / 1000));
    }
    if (argc == 2 && strcmp(argv[0], "offset") == 0) {
        long long seconds;
        if (!parse_seconds(argv[1], seconds)) return velctl_fail("'%s' is not a number of seconds", argv[1]);
        return save_offset(seconds);
    }
    return velctl_usage("clock", "wrong words");
}

int verb_tz(int argc, char **argv) {
    if (argc == 0) {
        const char *zone = device_settings()->time_zone;
        printf("%s\n", *zone ? zone : "host");
        return VELCTL_OK;
    }
    if (argc != 2 || strcmp(argv[0], "set") != 0) return velctl_usage("tz", "wrong words");
    bool host = strcmp(argv[1], "host") == 0;
    if (!host && !known_zone(argv[1])) return velctl_fail("'%s' is not a time zone in /usr/share/zoneinfo", argv[1]);
    DeviceSettings s = *device_settings();
    snprintf(s.time_zone, sizeof s.time_zone, "%s", host ? "" : argv[1]);
    if (!device_save_settings(&s)) return velctl_fail("%s", device_error());
    return VELCTL_OK;
}

#include "platform/core/locale.h"

#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/core/text.h"

namespace {

locale_t user_locale() {
    static std::once_flag once;
    static locale_t loc;
    std::call_once(once, [] {
        loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", (locale_t)0);
        if (!loc) loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", (locale_t)0);
    });
    return loc;
}

std::wstring langinfo(nl_item item) { return plat::from_utf8(nl_langinfo_l(item, user_locale())); }

bool uses_12_hours() {
    std::string fmt = nl_langinfo_l(T_FMT, user_locale());
    return fmt.find("%I") != std::string::npos || fmt.find("%l") != std::string::npos ||
           fmt.find("%r") != std::string::npos;
}

// Copies the result the phone's way: with `chars` 0 the size needed
// (terminator included) is returned; too small a buffer gives 0.
int deliver(const std::wstring &text, LPWSTR out, int chars) {
    int need = int(text.size()) + 1;
    if (chars == 0) return need;
    if (!out || chars < need) return 0;
    wmemcpy(out, text.c_str(), need);
    return need;
}

std::wstring number(int value, int width) {
    wchar_t buf[16];
    swprintf(buf, 16, L"%0*d", width, value);
    return buf;
}

// Expands a phone picture such as "ddd", "dd MMM yyyy" or "h:mm tt"; text in
// single quotes is copied as it stands.
std::wstring expand(const SYSTEMTIME &t, const wchar_t *pic) {
    std::wstring out;
    for (size_t i = 0; pic[i];) {
        wchar_t c = pic[i];
        if (c == L'\'') {
            size_t j = i + 1;
            while (pic[j] && pic[j] != L'\'') out += pic[j++];
            i = pic[j] ? j + 1 : j;
            continue;
        }
        size_t n = 1;
        while (pic[i + n] == c) n++;
        i += n;
        int hour12 = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
        switch (c) {
        case L'd':
            if (n <= 2) out += number(t.wDay, int(n));
            else out += langinfo((n == 3 ? ABDAY_1 : DAY_1) + t.wDayOfWeek % 7);
            break;
        case L'M':
            if (n <= 2) out += number(t.wMonth, int(n));
            else if (t.wMonth >= 1 && t.wMonth <= 12) out += langinfo((n == 3 ? ABMON_1 : MON_1) + t.wMonth - 1);
            break;
        case L'y': out += n <= 2 ? number(t.wYear % 100, int(n)) : number(t.wYear, 4); break;
        case L'h': out += number(hour12, n >= 2 ? 2 : 1); break;
        case L'H': out += number(t.wHour, n >= 2 ? 2 : 1); break;
        case L'm': out += number(t.wMinute, n >= 2 ? 2 : 1); break;
        case L's': out += number(t.wSecond, n >= 2 ? 2 : 1); break;
        case L't': {
            std::wstring mark = langinfo(t.wHour < 12 ? AM_STR : PM_STR);
            out += n == 1 ? mark.substr(0, 1) : mark;
            break;
        }
        default: out.append(n, c);
        }
    }
    return out;
}

}  // namespace

int GetLocaleInfoW(LCID, LCTYPE type, LPWSTR data, int chars) {
    std::wstring value;
    if (type == LOCALE_ITIME) {
        value = uses_12_hours() ? L"0" : L"1";
    } else if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7) {
        value = langinfo(DAY_1 + (type - LOCALE_SDAYNAME1 + 1) % 7);  // the phone's day 1 is Monday
    } else if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7) {
        value = langinfo(ABDAY_1 + (type - LOCALE_SABBREVDAYNAME1 + 1) % 7);
    } else if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12) {
        value = langinfo(MON_1 + (type - LOCALE_SMONTHNAME1));
    } else if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12) {
        value = langinfo(ABMON_1 + (type - LOCALE_SABBREVMONTHNAME1));
    } else {
        return 0;
    }
    return deliver(value, data, chars);
}

int GetDateFormatW(LCID, DWORD flags, const SYSTEMTIME *date, LPCWSTR picture, LPWSTR out, int chars) {
    if (!date) return 0;
    std::wstring text;
    if (picture) {
        text = expand(*date, picture);
    } else {
        struct tm tm = {};
        tm.tm_year = date->wYear - 1900;
        tm.tm_mon = date->wMonth - 1;
        tm.tm_mday = date->wDay;
        tm.tm_wday = date->wDayOfWeek;
        char buf[128];
        const char *fmt = (flags & DATE_LONGDATE) ? "%A, %e %B %Y" : nl_langinfo_l(D_FMT, user_locale());
        strftime_l(buf, sizeof buf, fmt, &tm, user_locale());
        text = plat::from_utf8(buf);
    }
    return deliver(text, out, chars);
}

int GetTimeFormatW(LCID, DWORD flags, const SYSTEMTIME *time, LPCWSTR picture, LPWSTR out, int chars) {
    if (!time) return 0;
    std::wstring pic;
    if (picture) {
        pic = picture;
    } else {
        bool twelve = uses_12_hours() && !(flags & TIME_FORCE24HOURFORMAT);
        pic = twelve ? L"h:mm:ss tt" : L"HH:mm:ss";
        if (flags & TIME_NOMINUTESORSECONDS) pic = twelve ? L"h tt" : L"HH";
        else if (flags & TIME_NOSECONDS) pic = twelve ? L"h:mm tt" : L"HH:mm";
    }
    std::wstring text = expand(*time, pic.c_str());
    while (!text.empty() && text.back() == L' ') text.pop_back();  // a locale without AM/PM words
    return deliver(text, out, chars);
}

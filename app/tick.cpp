// The once-a-second redraw: the colon blinks, and each digit, the AM/PM
// strip, the banner, the date line and the Internet time are drawn only
// when they differ from what was drawn last.
#include <cwchar>

#include "app/clock_face.h"
#include "app/local_time.h"
#include "app/main_window.h"
#include "app/status_labels.h"
#include "app/window_modes.h"
#include "store/settings.h"

TickCache Cache;

namespace {

// Longest countdown the two hour digits show.
constexpr int MAX_COUNTDOWN_HOURS = 99;
constexpr int LOCALE_NAME_CHARS = 49;

void blink_colon(void) {
    bool show = Cache.colon_phase != 1;
    draw_slot(SLOT_COLON, show ? 1 : 0);
    Cache.colon_phase = show ? 1 : 0;
    if (MainWindow.mode == MODE_SLEEP && SleepMode.SleepPaused) show_sleep_lines(show);
}

void draw_if_changed(int *cached, int slot, int value) {
    if (*cached == value) return;
    draw_slot(slot, value);
    *cached = value;
}

// Hours and minutes left; an end time already passed shows 00:00.
void countdown_left(int *hours, int *minutes) {
    ULONGLONG end = (ULONGLONG(Settings.CDFTHigh) << 32) | Settings.CDFTLow, now = local_file_time_now();
    LONGLONG seconds = end > now ? LONGLONG((end - now) / 10000000ULL) : 0;
    LONGLONG total_minutes = seconds / 60;
    if (total_minutes / 60 > MAX_COUNTDOWN_HOURS) total_minutes = MAX_COUNTDOWN_HOURS * 60 + 59;
    *hours = int(total_minutes / 60);
    *minutes = int(total_minutes % 60);
    if (Cache.banner == -1) {
        draw_countdown_banner();
        Cache.banner = 0;
    }
}

void clock_time(const SYSTEMTIME &now, int *hours, int *minutes) {
    *hours = now.wHour;
    *minutes = now.wMinute;
    if (Settings.TwentyFourHourTime) return;
    int pm = *hours >= 12 ? 1 : 0;
    if (Cache.am_pm != pm) {
        draw_am_pm(pm);
        Cache.am_pm = pm;
    }
    if (*hours > 12) *hours -= 12;
}

void draw_hours(int hours) {
    int tens = 0, units = hours;
    if (hours > 9 || MainWindow.mode == MODE_COUNTDOWN) {
        tens = hours / 10;
        units = hours % 10;
    } else if (!Settings.TwentyFourHourTime && hours == 0) {
        tens = 1;  // the midnight hour in 12-hour display
        units = 2;
    }
    draw_if_changed(&Cache.hour_tens, SLOT_HOUR_TENS, tens);
    draw_if_changed(&Cache.hour_units, SLOT_HOUR_UNITS, units);
}

// Day names run Monday ... Sunday; the clock counts from Sunday as 0.
LCTYPE day_name_type(int day_of_week) {
    return day_of_week == 0 ? LOCALE_SDAYNAME7 : LCTYPE(LOCALE_SDAYNAME1 + day_of_week - 1);
}

void update_date_line(const SYSTEMTIME &today) {
    if (Cache.day == today.wDay && Cache.day_of_week == today.wDayOfWeek && Cache.month == today.wMonth) return;
    Cache.day = today.wDay;
    Cache.day_of_week = today.wDayOfWeek;
    Cache.month = today.wMonth;
    WCHAR day[LOCALE_NAME_CHARS] = L"", month[LOCALE_NAME_CHARS] = L"", line[128];
    GetLocaleInfoW(LOCALE_USER_DEFAULT, day_name_type(today.wDayOfWeek % 7), day, LOCALE_NAME_CHARS);
    if (today.wMonth >= 1 && today.wMonth <= 12)
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LCTYPE(LOCALE_SABBREVMONTHNAME1 + today.wMonth - 1), month, LOCALE_NAME_CHARS);
    swprintf(line, 128, L"%ls, %ls %d", day, month, int(today.wDay));
    set_date_line(line);
    // A new day: yesterday's "Today" is wrong, and the next alarm may be another.
    refresh_next_alarm();
}

void update_internet_time(void) {
    int beats = internet_time();
    if (beats == Cache.internet_time) return;
    WCHAR text[8];
    swprintf(text, 8, L"@%03d", beats);
    set_internet_time(text);
    Cache.internet_time = beats;
}

}  // namespace

void reset_tick_cache(void) {
    Cache.hour_tens = Cache.hour_units = Cache.minute_tens = Cache.minute_units = -1;
    Cache.am_pm = Cache.banner = -1;
    Cache.day = Cache.day_of_week = Cache.month = -1;
    Cache.internet_time = INTERNET_TIME_UNKNOWN;
    Cache.colon_phase = 0;
}

void tick(void) {
    blink_colon();
    // One reading of the clock for the digits and the date, so that at
    // midnight they never come from two different days.
    SYSTEMTIME now;
    GetLocalTime(&now);
    int hours, minutes;
    if (MainWindow.mode == MODE_COUNTDOWN)
        countdown_left(&hours, &minutes);
    else
        clock_time(now, &hours, &minutes);
    draw_hours(hours);
    draw_if_changed(&Cache.minute_tens, SLOT_MINUTE_TENS, minutes / 10);
    draw_if_changed(&Cache.minute_units, SLOT_MINUTE_UNITS, minutes % 10);
    if (MainWindow.mode == MODE_SLEEP) {
        refresh_sleep_lines();
        return;
    }
    update_date_line(now);
    update_internet_time();
}

// The next-alarm line: which alarm rings next, at what time and on which
// day, e.g. "Alarm 3 (7:30 AM Today)".
#include <cwchar>

#include "app/status_labels.h"
#include "store/alarms.h"
#include "store/scheduling.h"

namespace {

constexpr int NAME_SHOWN_CHARS = 10;
constexpr int LOCALE_TEXT_CHARS = 63;
constexpr int LINE_CHARS = 160;

bool is_today(const SYSTEMTIME &at) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return at.wYear == now.wYear && at.wMonth == now.wMonth && at.wDay == now.wDay;
}

}  // namespace

void alarm_display_name(int index, LPWSTR out, size_t cap) {
    const AlarmRecord *a = alarm_record(index);
    if (!a || a->AlarmName[0] == L'\0' || wcscmp(a->AlarmName, DEFAULT_ALARM_NAME) == 0)
        swprintf(out, cap, L"Alarm %d", index + 1);
    else if (wcslen(a->AlarmName) <= size_t(NAME_SHOWN_CHARS))
        swprintf(out, cap, L"%ls", a->AlarmName);
    else
        swprintf(out, cap, L"%.*ls...", NAME_SHOWN_CHARS, a->AlarmName);
}

void refresh_next_alarm(void) {
    if (!Labels.next_alarm.window) return;
    WCHAR line[LINE_CHARS];
    SYSTEMTIME at;
    int index = next_pending_alarm(&at);
    if (index < 0) {
        SetWindowTextW(Labels.next_alarm.window, L"No Pending Alarms");
        return;
    }
    WCHAR name[NAME_SHOWN_CHARS + 4], day[LOCALE_TEXT_CHARS] = L"Today", time[LOCALE_TEXT_CHARS] = L"";
    alarm_display_name(index, name, NAME_SHOWN_CHARS + 4);
    if (!is_today(at)) GetDateFormatW(LOCALE_USER_DEFAULT, 0, &at, L"ddd", day, LOCALE_TEXT_CHARS);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &at, nullptr, time, LOCALE_TEXT_CHARS);
    swprintf(line, LINE_CHARS, L"%ls (%ls %ls)", name, time, day);
    SetWindowTextW(Labels.next_alarm.window, line);
}

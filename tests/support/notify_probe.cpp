#include "platform/shell/message_box_testing.h"
#include "tests/support/notify_probe.h"

#include <cstdio>

namespace {

BoxRecorder *current_recorder = nullptr;

int record_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    BoxRecorder *r = current_recorder;
    r->boxes.push_back(SeenBox{owner, text ? text : L"", caption ? caption : L"", type, GetForegroundWindow()});
    if (r->answers.empty()) return message_box_default_answer(type);
    int answer = r->answers.front();
    r->answers.pop_front();
    return answer;
}

}  // namespace

BoxRecorder::BoxRecorder() {
    current_recorder = this;
    message_box_set_headless(false);
    message_box_set_presenter(record_box);
}

BoxRecorder::~BoxRecorder() {
    message_box_set_presenter(nullptr);
    current_recorder = nullptr;
}

std::vector<SeenRequest> stored_requests() {
    std::vector<SeenRequest> out;
    DWORD count = 0;
    if (!CeGetUserNotificationHandles(nullptr, 0, &count) || count == 0) return out;
    std::vector<HANDLE> handles(count);
    if (!CeGetUserNotificationHandles(handles.data(), count, &count)) return out;
    for (HANDLE h : handles) {
        DWORD size = 0;
        CeGetUserNotification(h, 0, &size, nullptr);
        std::vector<BYTE> buffer(size);
        if (size == 0 || !CeGetUserNotification(h, size, &size, buffer.data())) continue;
        auto *info = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER *>(buffer.data());
        const CE_NOTIFICATION_TRIGGER *t = info->pcent;
        out.push_back(SeenRequest{notify_handle_number(info->hNotification), t->lpszApplication, t->lpszArguments,
                                  t->stStartTime, t->stEndTime});
    }
    return out;
}

std::vector<SeenRequest> stored_requests_for(const wchar_t *arguments) {
    std::vector<SeenRequest> out;
    for (const SeenRequest &r : stored_requests())
        if (r.arguments == arguments) out.push_back(r);
    return out;
}

std::string stamp(const SYSTEMTIME &t) {
    char buf[64];
    snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return buf;
}

SYSTEMTIME local_time(int year, int month, int day, int hour, int minute, int second, int ms) {
    SYSTEMTIME t{};
    t.wYear = WORD(year);
    t.wMonth = WORD(month);
    t.wDay = WORD(day);
    t.wHour = WORD(hour);
    t.wMinute = WORD(minute);
    t.wSecond = WORD(second);
    t.wMilliseconds = WORD(ms);
    // Normalise the weekday through the clock's own conversion.
    clock_systemtime_from_ms(clock_ms_from_systemtime(&t), &t);
    return t;
}

std::vector<std::wstring> event_registrations() {
    std::vector<std::wstring> out;
    LONG event;
    WCHAR app[MAX_PATH];
    for (DWORD i = 0; notify_event_registration(i, &event, app, MAX_PATH); i++)
        out.push_back(std::to_wstring(event) + L" " + app);
    return out;
}

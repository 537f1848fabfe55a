// What tests look at in the notification database and the message boxes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/phone.h"

struct SeenRequest {
    DWORD handle;
    std::wstring application;
    std::wstring arguments;
    SYSTEMTIME start;
    SYSTEMTIME end;
};

// Every stored request, through the phone's two-call pattern.
std::vector<SeenRequest> stored_requests();
// Those whose command line is `arguments` ("/ID:3").
std::vector<SeenRequest> stored_requests_for(const wchar_t *arguments);

// Every registration for a system event, "<event> <application>", in the
// database's order (event, then application).
std::vector<std::wstring> event_registrations();

// "YYYY-MM-DD HH:MM:SS.mmm" of a time, for readable comparisons.
std::string stamp(const SYSTEMTIME &t);
SYSTEMTIME local_time(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0);

struct SeenBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    HWND foreground;  // the foreground window while the box showed
};

// Captures message boxes in this process; answers with the queued buttons,
// else the default one.
struct BoxRecorder {
    BoxRecorder();
    ~BoxRecorder();
    std::vector<SeenBox> boxes;
    std::deque<int> answers;
};

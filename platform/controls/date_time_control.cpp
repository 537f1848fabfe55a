// The date-time picker in time format: the hour and minute of a date, with
// AM/PM where the locale counts 12 hours. The action key (or left, right or a
// digit) starts editing in place: left and right move between the fields, up
// and down step the one highlighted (wrapping), two digits type it; the
// action key or Back ends editing. Every change by the user sends the parent
// DTN_DATETIMECHANGE. Other formats show the short date without editing.
#include <algorithm>
#include <vector>

#include "platform/controls/control_internal.h"
#include "platform/device/clock.h"
#include "platform/core/locale.h"
#include "platform/screen/look.h"

namespace plat {

namespace {

enum Field { HOUR, MINUTE, AMPM };
constexpr int PAD = 5;

struct DateTimeState : ClassState {
    SYSTEMTIME time = {};
    bool none = false;  // DTS_SHOWNONE and no time
    int field = -1;     // the field being edited, -1 when not editing
    int typed = -1;     // a first digit waiting for the second

    void describe(HWND, std::string *out) const override {
        char text[32];
        snprintf(text, sizeof text, " time=%02u:%02u", unsigned(time.wHour), unsigned(time.wMinute));
        *out += none ? " time=none" : text;
        static const char *NAMES[] = {"hour", "minute", "ampm"};
        if (field >= 0) *out += std::string(" editing=") + NAMES[field];
    }
};

bool time_format(HWND window) { return has_style(window, DTS_TIMEFORMAT); }

bool twelve_hours() {
    WCHAR value[4] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, value, 4);
    return value[0] == L'0';
}

int field_count() { return twelve_hours() ? 3 : 2; }

// The texts shown, in order: hour, ":", minute and, for 12 hours, " " and AM/PM.
std::vector<std::wstring> pieces(const DateTimeState *s) {
    WCHAR hour[8], minute[8], mark[16] = L"";
    bool twelve = twelve_hours();
    swprintf(hour, 8, twelve ? L"%d" : L"%02d", twelve ? (s->time.wHour + 11) % 12 + 1 : s->time.wHour);
    swprintf(minute, 8, L"%02d", s->time.wMinute);
    if (!twelve) return {hour, L":", minute};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &s->time, L"tt", mark, 16);
    return {hour, L":", minute, L" ", mark};
}

std::wstring shown_text(HWND window, const DateTimeState *s) {
    if (s->none) return L"";
    std::wstring text;
    if (!time_format(window)) {
        WCHAR date[64] = L"";
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s->time, nullptr, date, 64);
        return date;
    }
    for (const std::wstring &p : pieces(s)) text += p;
    return text;
}

int days_in_month(int year, int month) {
    static const int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : DAYS[month - 1];
}

bool valid_time(const SYSTEMTIME &t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= days_in_month(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

// Zeller's rule, Sunday = 0.
WORD day_of_week(int year, int month, int day) {
    if (month < 3) month += 12, year--;
    int k = year % 100, j = year / 100;
    int h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;
    return WORD((h + 6) % 7);
}

void changed(HWND window, DateTimeState *s) {
    InvalidateRect(window, nullptr, TRUE);
    NMDATETIMECHANGE change = {};
    change.dwFlags = GDT_VALID;
    change.st = s->time;
    notify_parent(window, DTN_DATETIMECHANGE, &change.nmhdr);
}

void set_field(HWND window, DateTimeState *s, int field, int value) {
    if (field == HOUR) s->time.wHour = WORD(value);
    else if (field == MINUTE) s->time.wMinute = WORD(value);
    s->none = false;
    changed(window, s);
}

void step(HWND window, DateTimeState *s, int delta) {
    if (s->field == MINUTE) set_field(window, s, MINUTE, (s->time.wMinute + 60 + delta) % 60);
    else if (s->field == HOUR) set_field(window, s, HOUR, (s->time.wHour + 24 + delta) % 24);
    else set_field(window, s, HOUR, (s->time.wHour + 12) % 24);
}

// The hour as typed: 1 to 12 keeps the half of the day in 12-hour counting.
int hour_from(const DateTimeState *s, int typed) {
    if (!twelve_hours()) return typed;
    return typed % 12 + (s->time.wHour >= 12 ? 12 : 0);
}

// A complete hour moves on to the minutes.
void finish_field(DateTimeState *s) {
    s->typed = -1;
    if (s->field == HOUR) s->field = MINUTE;
}

void type_digit(HWND window, DateTimeState *s, int digit) {
    if (s->field == AMPM) return;
    bool hour = s->field == HOUR;
    int low = hour && twelve_hours() ? 1 : 0, high = !hour ? 59 : twelve_hours() ? 12 : 23;
    auto put = [&](int v) { set_field(window, s, s->field, hour ? hour_from(s, v) : v); };
    if (s->typed >= 0) {
        int both = s->typed * 10 + digit;
        if (both >= low && both <= high) {
            put(both);
            finish_field(s);
            return;
        }
    }
    s->typed = -1;
    if (digit * 10 > high) {
        if (digit >= low) put(digit);
        finish_field(s);
        return;
    }
    s->typed = digit;
    if (digit >= low) put(digit);
}

void edit(HWND window, DateTimeState *s, int field) {
    s->field = field;
    s->typed = -1;
    InvalidateRect(window, nullptr, TRUE);
}

void key_down(HWND window, DateTimeState *s, int vk) {
    if (!time_format(window)) return;
    int last = field_count() - 1;
    if (s->field < 0) {
        if (vk == VK_RETURN || vk == VK_RIGHT) edit(window, s, HOUR);
        else if (vk == VK_LEFT) edit(window, s, last);
        return;
    }
    switch (vk) {
    case VK_LEFT: edit(window, s, s->field == 0 ? last : s->field - 1); break;
    case VK_RIGHT: edit(window, s, s->field == last ? 0 : s->field + 1); break;
    case VK_UP:
    case VK_DOWN:
        s->typed = -1;
        step(window, s, vk == VK_UP ? 1 : -1);
        break;
    case VK_RETURN:
    case VK_TBACK: edit(window, s, -1); break;
    default: break;
    }
}

void key_char(HWND window, DateTimeState *s, wchar_t ch) {
    if (!time_format(window) || ch < L'0' || ch > L'9') return;
    if (s->field < 0) edit(window, s, HOUR);
    type_digit(window, s, ch - L'0');
}

void paint_date_time(HWND window) {
    ControlPaint p;
    control_paint_begin(window, WM_CTLCOLOREDIT, &p);
    DateTimeState *s = state_of<DateTimeState>(window);
    if (s) {
        look_field(p.dc, p.client, p.focused);
        COLORREF ink = p.enabled ? p.text : LOOK_GRAYED;
        if (!time_format(window) || s->none) {
            RECT r = {PAD, 0, p.client.right - PAD, p.client.bottom};
            look_text(p.dc, r, shown_text(window, s).c_str(), ink, DT_SINGLELINE | DT_VCENTER);
        } else {
            int x = PAD, field = 0;
            std::vector<std::wstring> parts = pieces(s);
            for (size_t i = 0; i < parts.size(); i++) {
                SIZE size = {0, 0};
                GetTextExtentPoint32W(p.dc, parts[i].c_str(), int(parts[i].size()), &size);
                RECT r = {x, 3, x + size.cx, p.client.bottom - 3};
                bool is_field = i % 2 == 0, editing = is_field && field == s->field;
                if (editing) look_fill(p.dc, {r.left - 1, r.top, r.right + 1, r.bottom}, LOOK_HIGHLIGHT);
                look_text(p.dc, r, parts[i].c_str(), editing ? LOOK_BAR_TEXT : ink, DT_SINGLELINE | DT_VCENTER);
                x += int(size.cx);
                if (is_field) field++;
            }
        }
    }
    control_paint_end(window, &p);
}

LRESULT get_time(const DateTimeState *s, LPARAM out) {
    if (!out) return GDT_ERROR;
    if (s->none) return GDT_NONE;
    *reinterpret_cast<SYSTEMTIME *>(out) = s->time;
    return GDT_VALID;
}

LRESULT set_time(HWND window, DateTimeState *s, WPARAM flag, LPARAM in) {
    if (flag == GDT_NONE) {
        if (!has_style(window, DTS_SHOWNONE)) return FALSE;
        s->none = true;
    } else {
        const SYSTEMTIME *t = reinterpret_cast<const SYSTEMTIME *>(in);
        if (flag != GDT_VALID || !t || !valid_time(*t)) return FALSE;
        s->time = *t;
        s->time.wDayOfWeek = day_of_week(t->wYear, t->wMonth, t->wDay);
        s->none = false;
    }
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

}  // namespace

LRESULT date_time_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DateTimeState *s = state_of<DateTimeState>(window);
    if (message == WM_CREATE) {
        GetLocalTime(&state_make<DateTimeState>(window)->time);
        return 0;
    }
    if (!s) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_date_time(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE:
        if (s->field >= 0) return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return DLGC_WANTCHARS | (dlgcode_key_is(lparam, VK_RETURN) ? DLGC_WANTMESSAGE : 0);
    case WM_KEYDOWN: key_down(window, s, int(wparam)); return 0;
    case WM_CHAR: key_char(window, s, wchar_t(wparam)); return 0;
    case WM_KILLFOCUS: s->field = -1; [[fallthrough]];
    case WM_SETFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
    case DTM_GETSYSTEMTIME: return get_time(s, lparam);
    case DTM_SETSYSTEMTIME: return set_time(window, s, wparam, lparam);
    case WM_GETTEXT: return copy_window_text(shown_text(window, s), wparam, lparam);
    case WM_GETTEXTLENGTH: return LRESULT(shown_text(window, s).size());
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace plat

#include "dialogs/time_spinner.h"

#include "dialogs/dialog_frame.h"
#include "resources/dialog_resources.h"

namespace {

constexpr int DIGIT_POINTS = 14;
constexpr int DIGIT_TEXT_CHARS = 3;  // two digits at most are read

struct SpinnerButton {
    int command;
    int digit;  // the display it turns
    int step;   // +1 or -1
    int count;  // values of the digit: 0 ... count - 1
};

const SpinnerButton BUTTONS[] = {
    {IDC_HOURS_UP, IDC_HOURS, 1, 24}, {IDC_HOURS_DOWN, IDC_HOURS, -1, 24}, {IDC_TENS_UP, IDC_TENS, 1, 6},
    {IDC_TENS_DOWN, IDC_TENS, -1, 6}, {IDC_UNITS_UP, IDC_UNITS, 1, 10},    {IDC_UNITS_DOWN, IDC_UNITS, -1, 10},
};

const int DIGITS[] = {IDC_HOURS, IDC_TENS, IDC_UNITS, 0};

int read_digit(HWND dialog, int id) {
    WCHAR text[DIGIT_TEXT_CHARS] = L"";
    GetDlgItemTextW(dialog, id, text, DIGIT_TEXT_CHARS);
    return int(wcstol(text, nullptr, 10));
}

void show_digit(HWND dialog, int id, int value) {
    WCHAR text[8];
    swprintf(text, 8, L"%d", value);
    SetDlgItemTextW(dialog, id, text);
}

}  // namespace

HFONT spinner_create_font(HWND dialog) {
    HFONT font = create_points_font(L"Tahoma", FW_BOLD, DIGIT_POINTS);
    set_controls_font(dialog, DIGITS, font);
    return font;
}

void spinner_show(HWND dialog, DWORD minutes) {
    DWORD hours = minutes / 60;
    show_digit(dialog, IDC_HOURS, int(hours > 23 ? 23 : hours));
    show_digit(dialog, IDC_TENS, int(minutes % 60 / 10));
    show_digit(dialog, IDC_UNITS, int(minutes % 10));
}

DWORD spinner_read(HWND dialog) {
    return DWORD(read_digit(dialog, IDC_HOURS) * 60 + read_digit(dialog, IDC_TENS) * 10 +
                 read_digit(dialog, IDC_UNITS));
}

BOOL spinner_command(HWND dialog, int command, int code) {
    for (const SpinnerButton &b : BUTTONS) {
        if (b.command != command) continue;
        if (code == BN_CLICKED) {
            // A text out of range (none is ever shown) still lands on a valid digit.
            int value = ((read_digit(dialog, b.digit) + b.step) % b.count + b.count) % b.count;
            show_digit(dialog, b.digit, value);
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR spinner_dialog_message(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, HFONT *digit_font,
                               DialogCommand on_command) {
    switch (message) {
        case WM_COMMAND:
            if (!spinner_command(dialog, LOWORD(wparam), HIWORD(wparam)))
                on_command(dialog, LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        case WM_DESTROY:
            if (*digit_font) DeleteObject(*digit_font);
            *digit_font = nullptr;
            return FALSE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

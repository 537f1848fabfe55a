// The time spinner's controls, the same identifiers in every dialog that has
// one: up buttons above the three digits, down buttons below, hours at the
// left of the separator. In this order the focus walks the digits column by
// column, up before down.
#pragma once

#include "resources/dialog_templates.h"

constexpr DWORD SPINNER_BUTTON = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD SPINNER_DIGIT = SS_CENTER | SS_CENTERIMAGE | WS_BORDER;

// The twelve items with the up row's top-left corner at (x, y), in dialog units.
#define TIME_SPINNER_ITEMS(x, y)                                                                                 \
    {L"STATIC", L"#134", IDC_STATIC, SS_BITMAP, 0, short((x)-10), short((y) + 1), 6, 6},                         \
        {L"STATIC", L"#135", IDC_STATIC, SS_BITMAP, 0, short((x)-10), short((y) + 28), 6, 6},                    \
        {L"BUTTON", L"", IDC_HOURS_UP, SPINNER_BUTTON, 0, short(x), short(y), 20, 9},                            \
        {L"STATIC", L"0", IDC_HOURS, SPINNER_DIGIT, 0, short(x), short((y) + 11), 20, 14},                        \
        {L"BUTTON", L"", IDC_HOURS_DOWN, SPINNER_BUTTON, 0, short(x), short((y) + 27), 20, 9},                    \
        {L"STATIC", L"#131", IDC_STATIC, SS_BITMAP, 0, short((x) + 23), short((y) + 12), 10, 10},                \
        {L"BUTTON", L"", IDC_TENS_UP, SPINNER_BUTTON, 0, short((x) + 37), short(y), 13, 9},                      \
        {L"STATIC", L"0", IDC_TENS, SPINNER_DIGIT, 0, short((x) + 37), short((y) + 11), 13, 14},                  \
        {L"BUTTON", L"", IDC_TENS_DOWN, SPINNER_BUTTON, 0, short((x) + 37), short((y) + 27), 13, 9},              \
        {L"BUTTON", L"", IDC_UNITS_UP, SPINNER_BUTTON, 0, short((x) + 53), short(y), 13, 9},                     \
        {L"STATIC", L"0", IDC_UNITS, SPINNER_DIGIT, 0, short((x) + 53), short((y) + 11), 13, 14},                 \
        {L"BUTTON", L"", IDC_UNITS_DOWN, SPINNER_BUTTON, 0, short((x) + 53), short((y) + 27), 13, 9}

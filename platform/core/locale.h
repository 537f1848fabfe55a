// The user's locale: day and month names and the 12/24-hour choice come from
// the C library's LC_TIME (LC_ALL, LC_TIME or LANG).
#pragma once

#include "platform/core/types.h"

int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int chars);
int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME *date, LPCWSTR picture, LPWSTR out, int chars);
int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME *time, LPCWSTR picture, LPWSTR out, int chars);

// Reaching a dialog's controls by their identifiers. A missing control is
// an error (ERROR_CONTROL_ID_NOT_FOUND), never a crash.
#include <cwchar>

#include "platform/controls/control_internal.h"
#include "platform/core/last_error.h"

namespace {

HWND item(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return control;
}

}  // namespace

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND control = item(dialog, id);
    return control ? SetWindowTextW(control, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int chars) {
    if (text && chars > 0) text[0] = L'\0';
    HWND control = item(dialog, id);
    return control ? UINT(GetWindowTextW(control, text, chars)) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed) {
    WCHAR text[16];
    if (is_signed) swprintf(text, 16, L"%d", int(value));
    else swprintf(text, 16, L"%u", value);
    return SetDlgItemTextW(dialog, id, text);
}

// Leading blanks and, when signed, a minus sign; then digits to the end (or
// to trailing blanks). Anything else, or a number too large, fails with 0.
UINT GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL is_signed) {
    if (translated) *translated = FALSE;
    WCHAR text[64];
    if (!item(dialog, id)) return 0;
    GetDlgItemTextW(dialog, id, text, 64);
    const WCHAR *p = text;
    while (*p == L' ') p++;
    bool negative = is_signed && *p == L'-';
    if (negative) p++;
    long long value = 0;
    const WCHAR *digits = p;
    for (; *p >= L'0' && *p <= L'9'; p++) {
        value = value * 10 + (*p - L'0');
        if (value > (is_signed ? 0x80000000LL : 0xFFFFFFFFLL)) return 0;
    }
    while (*p == L' ') p++;
    if (p == digits || *p || (is_signed && !negative && value > 0x7FFFFFFF)) return 0;
    if (translated) *translated = TRUE;
    return UINT(negative ? -value : value);
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND control = item(dialog, id);
    return control ? SendMessageW(control, message, wparam, lparam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = item(dialog, id);
    if (!control) return FALSE;
    SendMessageW(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) { return UINT(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0)); }

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    if (!IsWindow(dialog)) return FALSE;
    for (int id = first; id <= last; id++)
        if (HWND control = GetDlgItem(dialog, id)) SendMessageW(control, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

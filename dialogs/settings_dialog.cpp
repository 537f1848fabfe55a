// Settings: 12- or 24-hour display, the Internet time, the longest ringing
// and, through Choose Color, the colour of the face.
#include "app/clock_face.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"
#include "store/settings.h"

namespace {

const WCHAR *const MAX_TIME_ITEMS[] = {L"1", L"2", L"5", L"10", L"15", L"20", L"30"};
constexpr int MAX_TIME_ITEM_COUNT = int(sizeof MAX_TIME_ITEMS / sizeof MAX_TIME_ITEMS[0]);
constexpr DWORD UNREADABLE_MAX_TIME = 5;

void fill_max_time(HWND dialog) {
    int selected = 0;  // a stored value not in the list shows the first
    for (int i = 0; i < MAX_TIME_ITEM_COUNT; i++) {
        SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(MAX_TIME_ITEMS[i]));
        if (wcstoul(MAX_TIME_ITEMS[i], nullptr, 10) == Settings.MaxTime) selected = i;
    }
    SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_SETCURSEL, WPARAM(selected), 0);
}

void on_init(HWND dialog) {
    start_full_screen(dialog, IDB_OK_CANCEL);
    CheckDlgButton(dialog, IDC_24_HOUR, Settings.TwentyFourHourTime ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SHOW_ITIME, Settings.ShowITime ? BST_CHECKED : BST_UNCHECKED);
    fill_max_time(dialog);
    SetFocus(dialog);
}

void on_ok(HWND dialog) {
    Settings.TwentyFourHourTime = IsDlgButtonChecked(dialog, IDC_24_HOUR) == BST_CHECKED ? 1 : 0;
    Settings.ShowITime = IsDlgButtonChecked(dialog, IDC_SHOW_ITIME) == BST_CHECKED ? 1 : 0;
    WCHAR text[MAX_PATH] = L"";
    GetDlgItemTextW(dialog, IDC_MAX_TIME, text, MAX_PATH);
    DWORD minutes = DWORD(wcstoul(text, nullptr, 10));
    Settings.MaxTime = minutes ? minutes : UNREADABLE_MAX_TIME;
    EndDialog(dialog, IDOK);
}

void on_choose_color(HWND dialog) {
    COLORREF colour = run_choose_color(dialog);
    if (colour) recolour_face(colour);
}

INT_PTR settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_CHOOSE_COLOR:
                    if (HIWORD(wparam) == BN_CLICKED) on_choose_color(dialog);
                    break;
                case IDOK:
                    on_ok(dialog);
                    break;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    break;
                default:
                    break;
            }
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_settings(HWND owner) {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_SETTINGS), owner, settings_proc, 0);
}

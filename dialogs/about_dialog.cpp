// About: the product, its version and its maker; OK ends it.
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"

namespace {

INT_PTR about_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            start_full_screen(dialog, IDB_OK_ONLY);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

INT_PTR run_about(HWND owner) { return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_ABOUT), owner, about_proc, 0); }

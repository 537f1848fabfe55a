#include "dialogs/dialog_frame.h"

#include "app/status_labels.h"

HWND start_full_screen(HWND dialog, int bar_id) {
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_WANTSCROLLBAR};
    SHInitDialog(&init);
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.nToolBarId = UINT(bar_id);
    if (!SHCreateMenuBar(&bar)) return nullptr;
    SendMessageW(bar.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    return bar.hwndMB;
}

BOOL pass_back_key(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_HOTKEY || HIWORD(lparam) != VK_TBACK) return FALSE;
    SHSendBackToFocusWindow(message, wparam, lparam);
    return TRUE;
}

HFONT create_points_font(const WCHAR *face, int weight, int points) {
    HDC screen = GetDC(nullptr);
    int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW lf = {};
    lf.lfHeight = -(points * pixels_per_inch / 72);
    lf.lfWeight = weight;
    swprintf(lf.lfFaceName, LF_FACESIZE, L"%ls", face);
    return CreateFontIndirectW(&lf);
}

void set_controls_font(HWND dialog, const int *ids, HFONT font) {
    if (!font) return;
    for (; *ids; ids++) SendDlgItemMessageW(dialog, *ids, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

LPCWSTR last_component(LPCWSTR path) {
    LPCWSTR slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

void bring_to_front(HWND dialog) {
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(dialog);
}

void set_fitted_text(HWND dialog, int id, LPCWSTR text) {
    WCHAR fitted[MAX_PATH];
    shorten_to_width(GetDlgItem(dialog, id), text, fitted, MAX_PATH);
    SetDlgItemTextW(dialog, id, fitted);
}

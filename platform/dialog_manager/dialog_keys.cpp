// The dialog's keys. Up and down move the focus to the previous or next tab
// stop (enabled and shown, wrapping round) unless the control wants them
// (WM_GETDLGCODE with DLGC_WANTARROWS: a list not at its end, an open
// drop-down); the action key goes to the control when it wants it, else the
// dialog gets WM_COMMAND IDOK. Everything else goes to the control.
#include <algorithm>

#include "platform/dialog_manager/dialog_internal.h"
#include "platform/shell/message_box.h"

namespace plat {

namespace {

// Shown is the control's own style: a dialog being made is not shown yet.
bool tab_stop(HWND window) {
    Window *w = window_get(window);
    return w && (w->style & (WS_TABSTOP | WS_VISIBLE)) == (WS_TABSTOP | WS_VISIBLE) && w->enabled;
}

// The dialog's own child that holds `window`.
HWND control_of(HWND dialog, HWND window) {
    for (Window *w = window_get(window); w; w = window_get(w->parent))
        if (w->parent == dialog) return w->handle;
    return nullptr;
}

}  // namespace

}  // namespace plat

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    plat::Window *d = plat::window_get(dialog);
    if (!d) return nullptr;
    std::vector<HWND> order = d->children;
    if (previous) std::reverse(order.begin(), order.end());
    auto from = std::find(order.begin(), order.end(), control);
    size_t start = from == order.end() ? 0 : size_t(from - order.begin()) + 1;
    for (size_t k = 0; k < order.size(); k++) {
        HWND candidate = order[(start + k) % order.size()];
        if (plat::tab_stop(candidate)) return candidate;
    }
    return control;
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
    if (!msg || msg->message != WM_KEYDOWN || !plat::dialog_state(dialog)) return FALSE;
    int vk = int(msg->wParam);
    if (vk != VK_UP && vk != VK_DOWN && vk != VK_RETURN) return FALSE;
    HWND control = plat::control_of(dialog, msg->hwnd);
    if (!control && msg->hwnd != dialog) return FALSE;
    LRESULT wants = control ? SendMessageW(msg->hwnd, WM_GETDLGCODE, WPARAM(vk), reinterpret_cast<LPARAM>(msg)) : 0;
    if (wants & DLGC_WANTMESSAGE) return FALSE;
    if (vk == VK_RETURN) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return TRUE;
    }
    if (wants & DLGC_WANTARROWS) return FALSE;
    HWND next = GetNextDlgTabItem(dialog, control, vk == VK_UP);
    if (next) SetFocus(next);
    return TRUE;
}

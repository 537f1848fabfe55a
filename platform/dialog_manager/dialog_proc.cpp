// The dialog window's own procedure: it calls the dialog procedure first
// and does the default work for what that leaves (answering FALSE). A
// message it handles answers with DWL_MSGRESULT, except WM_INITDIALOG and the
// WM_CTLCOLOR* messages, which answer with what the procedure returned.
#include "platform/dialog_manager/dialog_internal.h"
#include "platform/shell/message_box.h"
#include "platform/screen/look.h"
#include "platform/shell/shell.h"

namespace plat {

namespace {

bool answers_itself(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

// The focus comes back to the control that had it, else the first tab stop.
void restore_focus(HWND dialog) {
    DialogState *s = dialog_state(dialog);
    HWND focus = s ? s->focus : nullptr;
    Window *c = window_get(focus);
    if (!c || c->parent != dialog || !(c->style & WS_VISIBLE) || !c->enabled)
        focus = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (focus) SetFocus(focus);
}

LRESULT erase(HWND dialog, HDC dc) {
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
    RECT client;
    GetClientRect(dialog, &client);
    if (brush) FillRect(dc, &client, brush);
    else look_fill(dc, client, LOOK_PANEL);
    return 1;
}

// With SHIDIF_WANTSCROLLBAR: where the view is in the whole dialog.
void paint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    DialogState *s = dialog_state(dialog);
    RECT client;
    GetClientRect(dialog, &client);
    int content = dialog_content_height(dialog), height = int(client.bottom);
    if (s && (s->shell_flags & SHIDIF_WANTSCROLLBAR) && content > height) {
        RECT track = {client.right - 3, 0, client.right, client.bottom};
        look_fill(dc, track, LOOK_FACE);
        look_scroll_thumb(dc, track, s->scroll, height, content);
    }
    EndPaint(dialog, &ps);
}

LRESULT default_message(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND: return erase(dialog, reinterpret_cast<HDC>(wparam));
    case WM_PAINT: paint(dialog); return 0;
    case WM_SETFOCUS: restore_focus(dialog); return 0;
    case WM_SIZE: dialog_layout(dialog); return 0;
    case WM_CLOSE: PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); return 0;
    case WM_CTLCOLORDLG: return 0;
    default: return DefWindowProcW(dialog, message, wparam, lparam);
    }
}

}  // namespace

LRESULT dialog_class_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        state_make<DialogState>(dialog);
        auto *create = reinterpret_cast<const CREATESTRUCTW *>(lparam);
        if (create && create->lpCreateParams)
            SetWindowLongPtrW(dialog, DWL_DLGPROC,
                              reinterpret_cast<LONG_PTR>(static_cast<const DialogCreate *>(create->lpCreateParams)->proc));
        return 0;
    }
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWL_DLGPROC));
    if (proc) {
        SetWindowLongPtrW(dialog, DWL_MSGRESULT, 0);
        INT_PTR handled = proc(dialog, message, wparam, lparam);
        if (handled) return answers_itself(message) ? handled : (IsWindow(dialog) ? GetWindowLongPtrW(dialog, DWL_MSGRESULT) : 0);
    }
    return IsWindow(dialog) ? default_message(dialog, message, wparam, lparam) : 0;
}

}  // namespace plat

// Modal dialogs: the window and its controls made from a template, then a
// message loop of its own until EndDialog. A dialog opened from a dialog runs
// its loop inside the other's, so each result goes back to the loop that
// opened it; the clock and every other window go on meanwhile.
#include "platform/dialog_manager/dialog_internal.h"
#include "platform/core/last_error.h"
#include "platform/core/resources.h"
#include "platform/screen/screen.h"

namespace plat {

const WCHAR DIALOG_CLASS[] = L"Dialog";

namespace {

HWND top_level_of(HWND window) {
    Window *w = window_get(window);
    while (w && w->parent) w = window_get(w->parent);
    return w ? w->handle : nullptr;
}

bool make_control(HWND dialog, HINSTANCE instance, const DialogItemResource &item) {
    RECT r = dialog_units_rect(item.x, item.y, item.cx, item.cy);
    HWND control = CreateWindowExW(item.ex_style, item.class_name, item.text ? item.text : L"",
                                   item.style | WS_CHILD | WS_VISIBLE, int(r.left), int(r.top), int(r.right - r.left),
                                   int(r.bottom - r.top), dialog, reinterpret_cast<HMENU>(intptr_t(item.id)), instance,
                                   nullptr);
    Window *c = window_get(control);
    DialogState *s = dialog_state(dialog);
    if (!c || !s) return false;
    s->designed.push_back({control, c->rect});
    return true;
}

// The window, at the template's place in the work area (centred with
// DS_CENTER), and its controls; NULL when any of them cannot be made.
HWND make_dialog(HINSTANCE instance, const DialogResource &res, HWND owner, DLGPROC proc) {
    RECT work, r = dialog_units_rect(res.x, res.y, res.cx, res.cy);
    screen_work_area(&work);
    if (res.style & DS_CENTER)
        OffsetRect(&r, int(work.left + (work.right - work.left - (r.right - r.left)) / 2 - r.left),
                   int(work.top + (work.bottom - work.top - (r.bottom - r.top)) / 2 - r.top));
    else
        OffsetRect(&r, int(work.left), int(work.top));
    DialogCreate create = {proc};
    DWORD style = (res.style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    HWND dialog = CreateWindowExW(res.ex_style, DIALOG_CLASS, res.caption ? res.caption : L"", style, int(r.left),
                                  int(r.top), int(r.right - r.left), int(r.bottom - r.top), owner, nullptr, instance,
                                  &create);
    if (!dialog) return nullptr;
    for (int i = 0; i < res.item_count; i++) {
        if (!make_control(dialog, instance, res.items[i])) {
            DWORD error = GetLastError();
            DestroyWindow(dialog);
            SetLastError(error);
            return nullptr;
        }
    }
    dialog_layout(dialog);
    return dialog;
}

// WM_INITDIALOG; the focus goes to the first tab stop unless it answers FALSE.
void init_dialog(HWND dialog, LPARAM param) {
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first && IsWindow(first))
        SetFocus(first);
}

bool running(HWND dialog) {
    DialogState *s = dialog_state(dialog);
    return s && !s->ended;
}

INT_PTR run(HWND dialog) {
    MSG msg;
    while (running(dialog)) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            // The program is quitting: the quit goes on to the outer loop.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) DispatchMessageW(&msg);
    }
    DialogState *s = dialog_state(dialog);
    return s ? s->result : 0;
}

}  // namespace

DialogState *dialog_state(HWND window) { return state_of<DialogState>(window); }

HWND dialog_of(HWND window) {
    for (Window *w = window_get(window); w; w = window_get(w->parent))
        if (dynamic_cast<DialogState *>(w->state.get())) return w->handle;
    return nullptr;
}

}  // namespace plat

using plat::DialogState;

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const DialogResource *res = IS_INTRESOURCE(name) ? resources_find_dialog(int(LOWORD(name))) : nullptr;
    if (!res) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    plat::system_classes_register();
    owner = plat::top_level_of(owner);
    HWND dialog = plat::make_dialog(instance, *res, owner, proc);
    if (!dialog) return -1;
    plat::dialog_state(dialog)->modal = true;
    plat::init_dialog(dialog, param);
    bool owner_enabled = owner && IsWindowEnabled(owner);
    if (plat::running(dialog)) {
        if (owner_enabled) EnableWindow(owner, FALSE);
        ShowWindow(dialog, SW_SHOW);
    }
    INT_PTR result = plat::run(dialog);
    if (owner_enabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    DestroyWindow(dialog);
    if (owner && IsWindow(owner)) SetForegroundWindow(owner);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState *s = plat::dialog_state(dialog);
    if (!s || !s->modal) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    s->result = result;
    s->ended = true;
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

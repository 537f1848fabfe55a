// Where a dialog's controls go: dialog units turned into pixels with the
// system font, SHInitDialog's full-screen sizes, narrowing controls that
// would reach past a narrow screen, and scrolling so that the control with
// the focus shows. Every screen size gets the same templates this way.
#include <algorithm>

#include "platform/dialog_manager/dialog_internal.h"
#include "platform/screen/look.h"
#include "platform/screen/screen.h"
#include "platform/shell/shell.h"

namespace plat {

namespace {

constexpr int MARGIN = 4;        // kept free at the dialog's edges
constexpr int SCROLL_ROOM = 4;   // beside the scroll bar
constexpr int MIN_WIDTH = 16;    // a control is not narrowed below this

int mul_div(int value, int times, int by) { return int((long long)value * times + (value >= 0 ? by / 2 : -by / 2)) / by; }

int right_margin(HWND dialog) {
    DialogState *s = dialog_state(dialog);
    return MARGIN + (s && (s->shell_flags & SHIDIF_WANTSCROLLBAR) ? SCROLL_ROOM : 0);
}

void scroll_by(HWND dialog, int dy) {
    DialogState *s = dialog_state(dialog);
    Window *w = window_get(dialog);
    if (!s || !w || dy == 0) return;
    s->scroll += dy;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Window *c = window_get(child);
        if (c) SetWindowPos(child, nullptr, int(c->rect.left), int(c->rect.top) - dy, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(dialog, nullptr, TRUE);
}

int client_height(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    return int(client.bottom);
}

// The static caption right above a control, which shows with it.
int top_with_caption(HWND dialog, HWND control, int top) {
    Window *d = window_get(dialog);
    auto self = std::find(d->children.begin(), d->children.end(), control);
    if (self == d->children.begin() || self == d->children.end()) return top;
    Window *before = window_get(*(self - 1));
    bool caption = before && !(before->style & WS_TABSTOP) && before->rect.bottom <= top &&
                   top - before->rect.bottom < control_line_height(control);
    return caption ? int(before->rect.top) : top;
}

}  // namespace

void dialog_base_units(int *x, int *y) {
    static int base_x = 0, base_y = 0;
    if (!base_x) {
        static const WCHAR LETTERS[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        HDC dc = GetDC(nullptr);
        SelectObject(dc, look_font(false));
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, LETTERS, 52, &size);
        ReleaseDC(nullptr, dc);
        base_x = std::max(1, (int(size.cx) / 26 + 1) / 2);
        base_y = std::max(1, int(size.cy));
    }
    *x = base_x;
    *y = base_y;
}

RECT dialog_units_rect(int x, int y, int cx, int cy) {
    int bx, by;
    dialog_base_units(&bx, &by);
    return {mul_div(x, bx, 4), mul_div(y, by, 8), mul_div(x + cx, bx, 4), mul_div(y + cy, by, 8)};
}

int dialog_content_height(HWND dialog) {
    Window *w = window_get(dialog);
    DialogState *s = dialog_state(dialog);
    if (!w || !s) return 0;
    int bottom = 0;
    for (HWND child : w->children)
        if (Window *c = window_get(child); c && (c->style & WS_VISIBLE)) bottom = std::max(bottom, int(c->rect.bottom));
    return bottom + s->scroll + MARGIN;
}

void dialog_show_control(HWND dialog, HWND control) {
    Window *c = window_get(control);
    DialogState *s = dialog_state(dialog);
    if (!c || !s || c->parent != dialog) return;
    int height = client_height(dialog), most = std::max(0, dialog_content_height(dialog) - height);
    int top = top_with_caption(dialog, control, int(c->rect.top)), bottom = int(c->rect.bottom);
    int dy = 0;
    if (top < MARGIN) dy = top - MARGIN;
    else if (bottom > height - MARGIN) dy = std::min(bottom - (height - MARGIN), top - MARGIN);
    // The first and last tab stops bring the top and the end of the dialog
    // into view when they still show then.
    if (control == GetNextDlgTabItem(dialog, nullptr, FALSE) && bottom + s->scroll <= height - MARGIN) dy = -s->scroll;
    if (control == GetNextDlgTabItem(dialog, nullptr, TRUE) && top + s->scroll - most >= MARGIN) dy = most - s->scroll;
    dy = std::clamp(s->scroll + dy, 0, most) - s->scroll;
    scroll_by(dialog, dy);
}

void dialog_layout(HWND dialog) {
    DialogState *s = dialog_state(dialog);
    if (!s) return;
    drop_list_close(s->focus);  // it would hang where the field was
    RECT client;
    GetClientRect(dialog, &client);
    int right = int(client.right) - right_margin(dialog);
    for (const auto &[control, designed] : s->designed) {
        Window *c = window_get(control);
        if (!c) continue;
        int width = int(designed.right - designed.left);
        if (designed.right > right) width = std::max(std::min(width, MIN_WIDTH), right - int(designed.left));
        if (width != c->rect.right - c->rect.left)
            SetWindowPos(control, nullptr, 0, 0, width, int(c->rect.bottom - c->rect.top),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    int most = std::max(0, dialog_content_height(dialog) - int(client.bottom));
    if (s->scroll > most) scroll_by(dialog, most - s->scroll);
    if (s->focus) dialog_show_control(dialog, s->focus);
}

void dialog_focus_moved(HWND window) {
    HWND dialog = dialog_of(window);
    DialogState *s = dialog_state(dialog);
    if (!s || window == dialog) return;
    s->focus = window;
    dialog_show_control(dialog, window);
}

}  // namespace plat

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    if (!rect || !plat::dialog_state(dialog)) return FALSE;
    *rect = plat::dialog_units_rect(int(rect->left), int(rect->top), int(rect->right - rect->left),
                                    int(rect->bottom - rect->top));
    return TRUE;
}

BOOL SHInitDialog(PSHINITDLGINFO info) {
    if (!info || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    RECT area, keys;
    plat::screen_work_area(&area);
    plat::screen_softkey_area(&keys);
    if (info->dwFlags & SHIDIF_FULLSCREENNOMENUBAR) area.bottom = keys.bottom;
    if (plat::DialogState *s = plat::dialog_state(info->hDlg)) s->shell_flags = info->dwFlags;
    if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR))
        SetWindowPos(info->hDlg, nullptr, int(area.left), int(area.top), int(area.right - area.left),
                     int(area.bottom - area.top), SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

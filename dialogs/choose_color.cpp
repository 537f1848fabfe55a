// Choose Color: sixteen swatches; a click on one answers its colour.
#include "dialogs/color_table.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/dialogs.h"
#include "resources/dialog_resources.h"

namespace {

void make_swatches(HWND dialog) {
    for (ColorEntry &e : ColorTable) {
        e.brush = CreateSolidBrush(e.colour);
        e.window = GetDlgItem(dialog, e.button);
    }
}

void release_swatches(void) {
    for (ColorEntry &e : ColorTable) {
        if (e.brush) DeleteObject(e.brush);
        e.brush = nullptr;
        e.window = nullptr;
    }
}

const ColorEntry *swatch_of(HWND button) {
    for (const ColorEntry &e : ColorTable)
        if (e.window && e.window == button) return &e;
    return nullptr;
}

const ColorEntry *swatch_by_id(int id) {
    for (const ColorEntry &e : ColorTable)
        if (e.button == id) return &e;
    return nullptr;
}

INT_PTR swatch_colours(HDC dc, HWND button) {
    const ColorEntry *e = swatch_of(button);
    if (!e) return FALSE;
    SetBkColor(dc, e->colour);
    return reinterpret_cast<INT_PTR>(e->brush);
}

void on_command(HWND dialog, int id) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, 0);
    } else if (const ColorEntry *e = swatch_by_id(id)) {
        EndDialog(dialog, INT_PTR(e->colour));
    }
}

INT_PTR color_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            make_swatches(dialog);
            start_full_screen(dialog, IDB_CANCEL_ONLY);
            return TRUE;
        case WM_CTLCOLORBTN:
            return swatch_colours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case WM_COMMAND:
            on_command(dialog, LOWORD(wparam));
            return TRUE;
        default:
            return pass_back_key(message, wparam, lparam);
    }
}

}  // namespace

COLORREF run_choose_color(HWND owner) {
    INT_PTR result = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_CHOOSE_COLOR), owner, color_proc, 0);
    release_swatches();
    return result > 0 ? COLORREF(result) : 0;
}

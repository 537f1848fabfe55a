// The dialog manager's own record of a dialog window and its services to
// the dialog's parts. Internal to the platform.
#pragma once

#include <vector>

#include "platform/controls/control_internal.h"

namespace plat {

// What DialogBoxParamW hands the new dialog window with WM_CREATE.
struct DialogCreate {
    DLGPROC proc;
};

struct DialogState : ClassState {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND focus = nullptr;     // the control that last had the focus
    int scroll = 0;           // pixels the controls are moved up
    DWORD shell_flags = 0;    // from SHInitDialog
    // The template's controls and the rectangles they were made with, before
    // any scrolling: a narrower screen narrows the ones that would reach past it.
    std::vector<std::pair<HWND, RECT>> designed;

    void describe(HWND, std::string *out) const override { *out += " scroll=" + std::to_string(scroll); }
};

// The record of a dialog window; NULL for any other window.
DialogState *dialog_state(HWND window);
// The dialog a window is a control of (or the dialog itself); NULL if none.
HWND dialog_of(HWND window);

// Dialog units: the system font's average character width and height.
void dialog_base_units(int *x, int *y);
// A rectangle in dialog units, in pixels.
RECT dialog_units_rect(int x, int y, int cx, int cy);
// Fits the controls to the dialog's width and keeps the focus control in view.
void dialog_layout(HWND dialog);
// Scrolls so that `control` shows, with the caption just above it.
void dialog_show_control(HWND dialog, HWND control);
// How far the controls reach down, unscrolled.
int dialog_content_height(HWND dialog);

}  // namespace plat

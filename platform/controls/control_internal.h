// What the platform's control classes share: their records, telling the
// parent what happened, and painting in the one look. Internal to the
// platform.
#pragma once

#include <memory>
#include <string>

#include "platform/controls/commctrl.h"
#include "platform/controls/controls.h"
#include "platform/dialog_manager/dialog.h"
#include "platform/gdi/gdi.h"
#include "platform/controls/static_control.h"
#include "platform/window/window_internal.h"

namespace plat {

// The record of a window of one of the platform's classes; NULL for any
// other window. Not to be kept across a call that may destroy the window
// (a notification to the parent).
template <typename T>
T *state_of(HWND window) {
    Window *w = window_get(window);
    return w ? dynamic_cast<T *>(w->state.get()) : nullptr;
}

template <typename T>
T *state_make(HWND window) {
    Window *w = window_get(window);
    if (!w) return nullptr;
    auto state = std::make_unique<T>();
    T *raw = state.get();
    w->state = std::move(state);
    return raw;
}

// WM_COMMAND to the parent: the control's identifier and `code`.
void notify_command(HWND control, UINT code);
// WM_NOTIFY to the parent with the header filled in; the parent's answer.
LRESULT notify_parent(HWND control, UINT code, NMHDR *header);

// A text in double quotes, UTF-8, for `velctl dialog`.
std::string quoted(const std::wstring &text);

bool control_focused(HWND control);
// The control's style bits; 0 for a window that is gone.
DWORD control_style(HWND control);
// Whether every one of `bits` is set in the control's style.
bool has_style(HWND control, DWORD bits);
// The font set with WM_SETFONT, else the system font.
HFONT control_font(HWND control);
// The height of a line of the control's font.
int control_line_height(HWND control);
// True for WM_GETDLGCODE asking about one of these keys (lParam is the message).
bool dlgcode_key_is(LPARAM msg, int vk1, int vk2 = -1);

// Painting a control: BeginPaint, its font, and the colours its parent
// gives for `ctlcolor` (a WM_CTLCOLOR* message); the background is not
// filled.
struct ControlPaint {
    PAINTSTRUCT ps;
    HDC dc = nullptr;
    RECT client = {0, 0, 0, 0};
    HBRUSH brush = nullptr;  // the parent's background brush
    COLORREF text = 0;       // the parent's text colour
    bool focused = false;
    bool enabled = true;
};
void control_paint_begin(HWND control, UINT ctlcolor, ControlPaint *paint);
void control_paint_end(HWND control, ControlPaint *paint);

// WM_GETTEXT's answer: at most chars - 1 characters and the terminator; the
// characters copied.
LRESULT copy_window_text(const std::wstring &text, WPARAM chars, LPARAM out);

// A list of texts, one shown at a time or all dropped down: the items of list
// boxes and drop-down lists.
struct TextItem {
    std::wstring text;
    bool selected = false;  // multiple-selection lists
};
// Copies an item's text for LB_GETTEXT / CB_GETLBTEXT (no size is given, as
// on the phone: the caller sizes the buffer by the text's length); its
// length, -1 (LB_ERR, CB_ERR) for no buffer.
LRESULT copy_item_text(const std::wstring &text, LPARAM out);

// The popup list a drop-down list or an expandable spin box opens: the items
// in a column under the field (or over the whole screen), one highlighted;
// the owning control passes it its keys while it is open.
bool drop_list_open(HWND owner, const std::vector<TextItem> &items, int current, bool full_screen);
bool drop_list_is_open(HWND owner);
// The item chosen with the action key, -1 while the list stays open, -2 when
// it was closed without a choice. Keys other than up, down, action and Back
// close it without a choice.
int drop_list_key(HWND owner, int vk);
void drop_list_close(HWND owner);

// The up-down control makes a list box a spin box that wraps and expands as
// its styles say.
void list_box_set_spin(HWND list, DWORD updown_style);

// Dialog services the controls and the focus use.
// The focus moved to `window`: its dialog remembers it and scrolls it into view.
void dialog_focus_moved(HWND window);

// Class procedures.
LRESULT static_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT button_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT edit_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT list_box_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT combo_box_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT up_down_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT date_time_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT list_view_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT tree_view_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT dialog_class_proc(HWND, UINT, WPARAM, LPARAM);

// The class every dialog window has.
extern const WCHAR DIALOG_CLASS[];

}  // namespace plat

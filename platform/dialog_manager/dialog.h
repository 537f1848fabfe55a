// Dialogs: windows built from a numbered template (resources.h), run modally
// in a nested message loop, with the phone's keys: up and down move the focus
// through the tab stops, the action key goes to the focus control or, when it
// does not want it, comes to the dialog as WM_COMMAND IDOK.
#pragma once

#include "platform/window/window.h"

typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// Dialog template styles.
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_SETFOREGROUND 0x200L
#define DS_CENTER 0x0800L

// WM_GETDLGCODE: what a control wants of the keys the dialog would take.
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

#define IDC_STATIC (-1)

// Runs the dialog of template `name` (MAKEINTRESOURCEW(number)) until
// EndDialog; returns EndDialog's result, -1 when the template or one of its
// controls cannot be made, 0 for an owner that is no window. The owner is
// disabled meanwhile. Dialogs nest: one opened from a dialog returns to that
// dialog's loop. A quit ends every loop (the result is then 0) and stays
// posted for the program's own loop.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param);
// Hides the dialog and ends its loop once the current message is handled;
// called again before that, the later result wins. FALSE for a window that is
// no dialog opened by DialogBoxParamW.
BOOL EndDialog(HWND dialog, INT_PTR result);
// The dialog keys (up, down, action) of a message for `dialog`: TRUE when the
// dialog used it, so it must not be dispatched.
BOOL IsDialogMessageW(HWND dialog, LPMSG msg);
// The next (or previous) enabled, visible tab stop after `control`, wrapping.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// Dialog units to pixels, with the system font's average character width
// and height, as every dialog here is laid out.
BOOL MapDialogRect(HWND dialog, LPRECT rect);

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
// Copies at most chars - 1 characters; 0 and an empty buffer for a missing control.
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int chars);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed);
UINT GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL is_signed);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

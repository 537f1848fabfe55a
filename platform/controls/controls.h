// The built-in control classes "BUTTON", "EDIT", "LISTBOX" and "COMBOBOX":
// their styles, messages, notifications and error returns, with the phone's
// values. ("STATIC" is in static_control.h.)
#pragma once

#include "platform/window/window.h"

// Buttons.
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_TYPEMASK 0x0000000FL
#define BS_LEFTTEXT 0x00000020L
#define BS_MULTILINE 0x00002000L
#define BS_NOTIFY 0x00004000L

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_CLICK 0x00F5

#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008

#define BN_CLICKED 0

// One-line edit boxes. EM_LIMITTEXT limits what the user types only; text
// set with WM_SETTEXT keeps its length.
#define ES_LEFT 0x0000L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NUMBER 0x2000L

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_GETLIMITTEXT 0x00D5

#define EN_CHANGE 0x0300
#define EN_MAXTEXT 0x0501

// List boxes. On the phone a list box shows one item at a time, turned with
// left and right: a spin box. An up-down control made right after it with
// UDS_AUTOBUDDY (or given it with UDM_SETBUDDY) decides whether it wraps
// (UDS_WRAP) and whether the action key opens the whole list (UDS_EXPANDABLE).
#define LBS_NOTIFY 0x0001L
#define LBS_MULTIPLESEL 0x0008L
#define LBS_HASSTRINGS 0x0040L
#define LBS_NOINTEGRALHEIGHT 0x0100L

#define LB_ADDSTRING 0x0180
#define LB_SETSEL 0x0185
#define LB_SETCURSEL 0x0186
#define LB_GETSEL 0x0187
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B

#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)

// Sent only by a list box with LBS_NOTIFY, and only when the user changes
// the selection.
#define LBN_SELCHANGE 1

// Drop-down lists: a field with the chosen item; left and right step through
// the items, the action key drops the list.
#define CBS_DROPDOWNLIST 0x0003L

#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETDROPPEDSTATE 0x0157

#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)

// Sent when the user changes the selection.
#define CBN_SELCHANGE 1

// The phone's shell: the soft-key menu bar under every full-screen window
// and the Back key.
#pragma once

#include "platform/shell/menu.h"
#include "platform/window/window.h"

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;        // sizeof(SHMENUBARINFO), or 36 as the phone's programs pass
    HWND hwndParent;
    DWORD dwFlags;       // SHCMBF_*
    UINT nToolBarId;     // the menu-bar resource
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;         // out: the bar's window
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

// Messages to the bar's window.
#define TB_ENABLEBUTTON (WM_USER + 1)        // wParam command, LOWORD(lParam) enable
#define TB_ISBUTTONENABLED (WM_USER + 9)     // wParam command
#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)    // lParam: the soft key's command -> its popup
#define SHCMBM_GETMENU (WM_USER + 402)       // the menu whose two items are the soft keys
// wParam VK_TBACK, VK_TSOFT1 or VK_TSOFT2; LOWORD(lParam) the SHMBOF_* bits to
// change, HIWORD(lParam) their new values; returns the key's previous bits.
// Back notifies (WM_HOTKEY) unless told otherwise; the soft keys do their
// default (command or popup) unless told otherwise. On this platform Back has
// no default action of its own: it never closes a window by itself.
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)

#define SHMBOF_NODEFAULT 0x00000001
#define SHMBOF_NOTIFY 0x00000002

BOOL SHCreateMenuBar(SHMENUBARINFO *info);

// Full-screen dialogs.
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;   // SHIDIM_FLAGS
    HWND hDlg;
    DWORD dwFlags;  // SHIDIF_*
} SHINITDLGINFO, *PSHINITDLGINFO;

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040

// Sizes the dialog to the screen between the title bar and the soft keys
// (SHIDIF_SIZEDLG, SHIDIF_SIZEDLGFULLSCREEN) or down to the bottom
// (SHIDIF_FULLSCREENNOMENUBAR). Every dialog scrolls its controls so that the
// focus control shows; with SHIDIF_WANTSCROLLBAR a bar on the right says where
// the dialog is scrolled to.
BOOL SHInitDialog(PSHINITDLGINFO info);
// Hands a Back-key hot key on to the focus window as key presses (keydown
// and keyup; keyup only for a hot key with MOD_KEYUP).
void SHSendBackToFocusWindow(UINT message, WPARAM wparam, LPARAM lparam);

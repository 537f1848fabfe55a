// The phone's shell: the soft-key menu bar under every full-screen window
// and the Back key.
#pragma once

#include "platform/menu.h"
#include "platform/window.h"

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
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)   // accepted; Back always reaches the window as WM_HOTKEY

#define SHMBOF_NODEFAULT 0x00000001
#define SHMBOF_NOTIFY 0x00000002

BOOL SHCreateMenuBar(SHMENUBARINFO *info);
// Hands a Back-key hot key on to the focus window as key presses (keydown
// and keyup; keyup only for a hot key with MOD_KEYUP).
void SHSendBackToFocusWindow(UINT message, WPARAM wparam, LPARAM lparam);

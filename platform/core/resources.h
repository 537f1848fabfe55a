// A program's compiled resources, found by their numbers: bitmaps drawn by
// the generator at build time, the string table, the soft-key menu bars and
// the dialog templates. Each program registers its tables at start;
// LoadBitmapW, LoadStringW, SHCreateMenuBar and DialogBoxParamW look there.
#pragma once

#include "platform/core/types.h"

// The pixels are packed in runs, so the program holds a tenth of their size:
// rows top-down, 3 bytes a pixel (red, green, blue), no padding, in runs each
// led by a byte c; below 128, c + 1 pixels follow as they are; from 128 up,
// one pixel follows that stands for c - 126 equal ones.
struct BitmapResource {
    int id;
    int width;
    int height;
    int bits_per_pixel;          // what the phone's image had: 8 or 24; pixels are always RGB here
    const unsigned char *runs;
    int runs_size;               // bytes
};

// Reads a bitmap's pixels in order from its runs.
struct BitmapRuns {
    const unsigned char *at;
    const unsigned char *end;
    int left;                    // pixels left in the current run
    bool repeat;                 // the current run is one pixel repeated
};

struct StringResource {
    int id;
    const WCHAR *text;
};

// Menus. A popup menu is an array of items; an item is a command, a
// separator or a submenu (flags and states are the MF_* values of menu.h).
struct MenuItemResource {
    UINT flags;                     // MF_STRING, MF_SEPARATOR or MF_POPUP, plus MF_GRAYED / MF_CHECKED to start with
    UINT command;                   // the WM_COMMAND identifier; 0 for separators and submenus
    const WCHAR *text;              // NULL for a separator
    const MenuItemResource *popup;  // MF_POPUP: the submenu's items
    int popup_count;
};

// One soft key: it sends its command, or opens its popup menu.
struct SoftKeyResource {
    UINT text_id;                   // string-table entry with the key's text; 0: `text` is used
    const WCHAR *text;
    UINT command;                   // WM_COMMAND identifier (also the key's id for TB_ENABLEBUTTON)
    const MenuItemResource *popup;  // NULL for a command key
    int popup_count;
};

// A soft-key menu bar, found by SHCreateMenuBar through its nToolBarId.
struct MenuBarResource {
    int id;
    SoftKeyResource keys[2];        // left, right; a key without text is absent
};

// One control of a dialog template. Positions and sizes are dialog units:
// a quarter of the system font's average character width across, an eighth
// of its height down (MapDialogRect). The control is made with
// CreateWindowExW(ex_style, class_name, text, style | WS_CHILD | WS_VISIBLE,
// ...), in table order, which is also the order of the tab stops.
struct DialogItemResource {
    const WCHAR *class_name;  // L"STATIC", L"BUTTON", L"EDIT", L"LISTBOX", L"COMBOBOX", UPDOWN_CLASS, ...
    const WCHAR *text;        // NULL for none; for an SS_BITMAP static the bitmap, as L"#324"
    int id;                   // control identifier; IDC_STATIC (-1) for none
    DWORD style;              // the class's styles and WS_TABSTOP, WS_GROUP, WS_DISABLED, WS_BORDER
    DWORD ex_style;
    short x, y, cx, cy;       // dialog units
};

// A dialog template, found by DialogBoxParamW through its number. The dialog
// shows its caption in the title bar and uses the system font.
struct DialogResource {
    int id;
    DWORD style;              // WS_POPUP, WS_CAPTION, DS_CENTER, DS_SETFOREGROUND, ...
    DWORD ex_style;           // WS_EX_TOPMOST keeps it above other windows
    short x, y, cx, cy;       // dialog units, from the top-left of the screen's work area
    const WCHAR *caption;
    const DialogItemResource *items;
    int item_count;
};

// The items of a static array and their number, for the tables above.
#define MENU_ITEMS(array) (array), int(sizeof(array) / sizeof((array)[0]))

// Adds a table; a later table's entry wins over an earlier one's with the
// same number. The tables must live as long as the program.
void resources_add_bitmaps(const BitmapResource *table, int count);
void resources_add_strings(const StringResource *table, int count);
void resources_add_menubars(const MenuBarResource *table, int count);
void resources_add_dialogs(const DialogResource *table, int count);

const BitmapResource *resources_find_bitmap(int id);
void bitmap_runs_start(BitmapRuns *runs, const BitmapResource *bitmap);
// The next pixel into rgb; false once the runs end or one is cut short (never
// reads past them). O(1).
bool bitmap_runs_next(BitmapRuns *runs, unsigned char rgb[3]);
const MenuBarResource *resources_find_menubar(int id);
const DialogResource *resources_find_dialog(int id);

// The phone's string loader: copies at most chars - 1 characters and
// terminates; returns the characters copied, 0 when the string is missing.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int chars);

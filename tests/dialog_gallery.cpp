// A gallery dialog with every control the system's dialogs use, for the
// dialog tests and for looking at: a main window opens it; its "Browse"
// button opens a browser (a list made at run time, as the sound browser
// does), which can open another over itself. It writes what it is told to a
// record file, one line each; "Report" on its menu writes the state of every
// control as the phone's messages read it. Driven by velctl.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "resources/clock_bitmaps.h"
#include "tests/support/owner_window.h"

namespace {

constexpr int GALLERY = 500, BROWSER = 501, MAIN_BAR = 502;
constexpr UINT CMD_GALLERY = 3000, CMD_REPORT = 3001, CMD_TOGGLE_TEST = 3002, CMD_CLEAR_DAYS = 3003, CMD_QUIT = 3009,
           CMD_DEEPER = 3101, CMD_END_BELOW = 3102;
constexpr UINT MSG_OPEN = WM_APP + 1;

constexpr DWORD SPIN = UDS_AUTOBUDDY | UDS_HORZ | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_WRAP | UDS_EXPANDABLE;
constexpr DWORD TAB = WS_TABSTOP;

const DialogItemResource GALLERY_ITEMS[] = {
    {L"STATIC", L"Alarm name:", IDC_STATIC, SS_LEFT, 0, 4, 2, 128, 10},
    {L"EDIT", L"", 1000, ES_AUTOHSCROLL | TAB, 0, 4, 12, 128, 13},
    {L"BUTTON", L"Alarm ON", 1010, BS_AUTOCHECKBOX | TAB, 0, 4, 28, 128, 12},
    {L"BUTTON", L"Keep awake during countdown", 1061, BS_AUTOCHECKBOX | BS_MULTILINE | TAB, 0, 4, 42, 84, 20},
    {L"BUTTON", L"Stop when sounds finish", 1058, BS_AUTORADIOBUTTON | WS_GROUP | TAB, 0, 4, 64, 128, 12},
    {L"BUTTON", L"Or after time:", 1059, BS_AUTORADIOBUTTON | TAB, 0, 4, 77, 128, 12},
    {L"BUTTON", L"Disabled", 1090, BS_PUSHBUTTON | WS_DISABLED | WS_GROUP | TAB, 0, 4, 92, 62, 14},
    {L"STATIC", L"Alarm:", IDC_STATIC, SS_LEFT, 0, 4, 110, 128, 10},
    {L"LISTBOX", nullptr, 1034, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | TAB, 0, 4, 120, 128, 14},
    {UPDOWN_CLASS, nullptr, 1078, SPIN, 0, 0, 0, 0, 0},
    {L"STATIC", L"Days:", IDC_STATIC, SS_LEFT, 0, 4, 138, 128, 10},
    {L"LISTBOX", nullptr, 1082, LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | TAB, 0, 4, 148, 128, 14},
    {UPDOWN_CLASS, nullptr, 1083, SPIN, 0, 0, 0, 0, 0},
    {L"STATIC", L"Alarm time:", IDC_STATIC, SS_LEFT, 0, 4, 166, 128, 10},
    {DATETIMEPICK_CLASS, nullptr, 1080, DTS_TIMEFORMAT | TAB, 0, 4, 176, 70, 14},
    {L"STATIC", L"Minutes:", IDC_STATIC, SS_LEFT, 0, 4, 194, 128, 10},
    {L"COMBOBOX", nullptr, 1023, CBS_DROPDOWNLIST | WS_VSCROLL | TAB, 0, 4, 204, 70, 80},
    {L"STATIC", L"Folder:", IDC_STATIC, SS_LEFT, 0, 4, 222, 128, 10},
    {L"STATIC", L"A folder name far too long for one line", 1051, SS_LEFTNOWORDWRAP, 0, 4, 232, 128, 10},
    {L"STATIC", L"#134", IDC_STATIC, SS_BITMAP, 0, 6, 246, 6, 6},
    {L"BUTTON", L"", 1005, BS_PUSHBUTTON | TAB, 0, 16, 244, 20, 9},
    {L"STATIC", L"7", 1007, SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, 16, 255, 20, 14},
    {L"STATIC", L"#131", IDC_STATIC, SS_BITMAP, 0, 40, 256, 10, 10},
    {L"STATIC", L"3", 1008, SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, 54, 255, 13, 14},
    {L"STATIC", L"", 1093, SS_BITMAP, 0, 6, 273, 6, 6},
    {L"BUTTON", L"", 1006, BS_PUSHBUTTON | TAB, 0, 16, 271, 20, 9},
    {L"BUTTON", L"Browse", 1046, BS_PUSHBUTTON | TAB, 0, 4, 286, 62, 14},
    {L"BUTTON", L"Test", 1047, BS_PUSHBUTTON | TAB, 0, 70, 286, 62, 14},
    {L"STATIC", L"Sounds:", IDC_STATIC, SS_LEFT, 0, 4, 304, 128, 10},
    {WC_LISTVIEW, nullptr, 1089,
     LVS_REPORT | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
         WS_BORDER | TAB,
     0, 4, 314,
     128, 46},
    {L"STATIC", L"Folders:", IDC_STATIC, SS_LEFT, 0, 4, 364, 128, 10},
    {WC_TREEVIEW, nullptr, 1055, TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | TAB, 0, 4, 374, 128,
     56},
};

const MenuItemResource GALLERY_MENU[] = {
    {MF_STRING, CMD_REPORT, L"Report", nullptr, 0},
    {MF_STRING, CMD_TOGGLE_TEST, L"Enable or disable Test", nullptr, 0},
    {MF_STRING, CMD_CLEAR_DAYS, L"Clear days", nullptr, 0},
    {MF_STRING, IDCANCEL, L"Close", nullptr, 0},
};
const MenuItemResource BROWSER_MENU[] = {
    {MF_STRING, CMD_DEEPER, L"Deeper", nullptr, 0},
    {MF_STRING, CMD_END_BELOW, L"End the one below", nullptr, 0},
    {MF_STRING, IDCANCEL, L"Cancel", nullptr, 0},
};
const MenuBarResource BARS[] = {
    {GALLERY, {{0, L"Done", IDCANCEL, nullptr, 0}, {0, L"Menu", 0, MENU_ITEMS(GALLERY_MENU)}}},
    {BROWSER, {{0, L"Select", 1046, nullptr, 0}, {0, L"Menu", 0, MENU_ITEMS(BROWSER_MENU)}}},
    {MAIN_BAR, {{0, L"Gallery", CMD_GALLERY, nullptr, 0}, {0, L"Quit", CMD_QUIT, nullptr, 0}}},
};
const DialogResource DIALOGS[] = {
    {GALLERY, WS_POPUP | WS_CAPTION, 0, 0, 0, 137, 150, L"Gallery", MENU_ITEMS(GALLERY_ITEMS)},
    {BROWSER, WS_POPUP | WS_CAPTION, 0, 0, 0, 137, 150, L"Browser", nullptr, 0},
};

FILE *record;
HFONT digits;
HBITMAP down_marker;
HIMAGELIST sound_icons, folder_icons;

void note(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vfprintf(record, fmt, ap);
    va_end(ap);
    fputc('\n', record);
    fflush(record);
}

std::string utf8(const WCHAR *text) { return plat::to_utf8(text); }

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void start_dialog(HWND dialog, int bar_id) {
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_WANTSCROLLBAR};
    SHInitDialog(&init);
    SHMENUBARINFO mb = {};
    mb.cbSize = sizeof mb;
    mb.hwndParent = dialog;
    mb.nToolBarId = UINT(bar_id);
    if (!SHCreateMenuBar(&mb)) note("menubar failed");
    SendMessageW(mb.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
}

HIMAGELIST load_icons(int bitmap, int width, int height, bool masked) {
    HIMAGELIST list = ImageList_Create(width, height, masked ? ILC_COLOR | ILC_MASK : ILC_COLOR, 1, 1);
    HBITMAP b = LoadBitmapW(nullptr, MAKEINTRESOURCEW(bitmap));
    int added = masked ? ImageList_AddMasked(list, b, RGB(0, 255, 0)) : ImageList_Add(list, b, nullptr);
    DeleteObject(b);
    if (added < 0) note("image list %d failed", bitmap);
    return list;
}

void add_sound(HWND list, const WCHAR *name, int image, LPARAM data) {
    LVITEMW it = {};
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    it.iItem = 0;
    it.pszText = const_cast<LPWSTR>(name);
    it.iImage = image;
    it.lParam = data;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

void fill_sounds(HWND list, HIMAGELIST icons) {
    LVCOLUMNW column = {LVCF_WIDTH | LVCF_TEXT, 0, 240, const_cast<LPWSTR>(L"Sounds"), 0, 0};
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
}

HTREEITEM add_folder(HWND tree, HTREEITEM parent, const WCHAR *name) {
    TVINSERTSTRUCTW in = {};
    in.hParent = parent;
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    in.item.pszText = const_cast<LPWSTR>(name);
    in.item.iImage = in.item.iSelectedImage = 1;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in)));
}

void fill_gallery(HWND dialog) {
    SendDlgItemMessageW(dialog, 1000, EM_LIMITTEXT, 10, 0);
    SetDlgItemTextW(dialog, 1000, L"Wake");
    CheckDlgButton(dialog, 1010, BST_CHECKED);
    CheckRadioButton(dialog, 1058, 1059, 1058);
    for (int i = 1; i <= 10; i++) {
        WCHAR n[8];
        swprintf(n, 8, L"%d", i);
        SendDlgItemMessageW(dialog, 1034, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    }
    SendDlgItemMessageW(dialog, 1034, LB_SETCURSEL, 0, 0);
    const WCHAR *days[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    for (const WCHAR *d : days) SendDlgItemMessageW(dialog, 1082, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
    SendDlgItemMessageW(dialog, 1082, LB_SETSEL, TRUE, 1);
    SendDlgItemMessageW(dialog, 1082, LB_SETSEL, TRUE, 5);
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = 7, t.wMinute = 30, t.wSecond = 0, t.wMilliseconds = 0;
    SendDlgItemMessageW(dialog, 1080, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    for (const WCHAR *m : {L"1", L"2", L"5", L"10", L"15", L"20", L"30"})
        SendDlgItemMessageW(dialog, 1023, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m));
    SendDlgItemMessageW(dialog, 1023, CB_SETCURSEL, 2, 0);
    SendDlgItemMessageW(dialog, 1007, WM_SETFONT, reinterpret_cast<WPARAM>(digits), TRUE);
    SendDlgItemMessageW(dialog, 1008, WM_SETFONT, reinterpret_cast<WPARAM>(digits), TRUE);
    SendDlgItemMessageW(dialog, 1093, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(down_marker));
    HWND sounds = item(dialog, 1089);
    fill_sounds(sounds, sound_icons);
    add_sound(sounds, L"Wake.mp3", 0, 11);
    add_sound(sounds, L"alarm.wav", 1, 12);
    add_sound(sounds, L"Birds.ogg", 0, 13);
    add_sound(sounds, L"zebra.wav", 1, 14);
    add_sound(sounds, L"Chimes.wav", 0, 15);
    HWND tree = item(dialog, 1055);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(folder_icons));
    HTREEITEM docs = add_folder(tree, TVI_ROOT, L"My Documents");
    HTREEITEM music = add_folder(tree, docs, L"Music");
    add_folder(tree, music, L"Jazz");
    add_folder(tree, music, L"Rock");
    add_folder(tree, docs, L"Ringtones");
    add_folder(tree, add_folder(tree, TVI_ROOT, L"Storage Card"), L"Sounds");
}

std::string tree_text(HWND tree, HTREEITEM handle) {
    WCHAR text[64] = L"";
    TVITEMW it = {};
    it.mask = TVIF_TEXT;
    it.hItem = handle;
    it.pszText = text;
    it.cchTextMax = 64;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return utf8(text);
}

// The selected item and its parents, innermost first: "Jazz<Music<My Documents".
std::string tree_path(HWND tree) {
    std::string path;
    auto h = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (; h; h = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(h))))
        path += (path.empty() ? "" : "<") + tree_text(tree, h);
    return path.empty() ? "-" : path;
}

std::string list_row(HWND list, int index) {
    WCHAR text[64] = L"";
    LVITEMW it = {};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = index;
    it.pszText = text;
    it.cchTextMax = 64;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return "-";
    return std::to_string(index) + ":" + utf8(text) + ":" + std::to_string(it.lParam);
}

std::string days_of(HWND dialog) {
    std::string days;
    for (int i = 0; i < 7; i++)
        if (SendDlgItemMessageW(dialog, 1082, LB_GETSEL, i, 0) > 0) days += (days.empty() ? "" : ",") + std::to_string(i);
    return days.empty() ? "-" : days;
}

std::string time_of(HWND dialog) {
    SYSTEMTIME t;
    if (SendDlgItemMessageW(dialog, 1080, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) return "-";
    char text[8];
    snprintf(text, sizeof text, "%02u:%02u", unsigned(t.wHour) % 100, unsigned(t.wMinute) % 100);
    return text;
}

std::string combo_of(HWND dialog) {
    LRESULT sel = SendDlgItemMessageW(dialog, 1023, CB_GETCURSEL, 0, 0);
    WCHAR text[16] = L"";
    if (sel >= 0 && SendDlgItemMessageW(dialog, 1023, CB_GETLBTEXTLEN, WPARAM(sel), 0) < 16)
        SendDlgItemMessageW(dialog, 1023, CB_GETLBTEXT, WPARAM(sel), reinterpret_cast<LPARAM>(text));
    return std::to_string(sel) + ":" + utf8(text);
}

void report(HWND dialog) {
    WCHAR name[11];
    GetDlgItemTextW(dialog, 1000, name, 11);
    LRESULT spin = SendDlgItemMessageW(dialog, 1034, LB_GETCURSEL, 0, 0);
    int radio = IsDlgButtonChecked(dialog, 1058) ? 1058 : IsDlgButtonChecked(dialog, 1059) ? 1059 : 0;
    HWND sounds = item(dialog, 1089);
    int mark = int(SendMessageW(sounds, LVM_GETSELECTIONMARK, 0, 0));
    note("report focus=%d edit=%s alarm_on=%u keep_awake=%u radio=%d spin=%ld days=%s time=%s combo=%s list=%s tree=%s",
         GetDlgCtrlID(GetFocus()), utf8(name).c_str(), IsDlgButtonChecked(dialog, 1010),
         IsDlgButtonChecked(dialog, 1061), radio, long(spin), days_of(dialog).c_str(), time_of(dialog).c_str(),
         combo_of(dialog).c_str(), list_row(sounds, mark).c_str(), tree_path(item(dialog, 1055)).c_str());
}

INT_PTR browser_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

void open_browser(HWND owner, int depth, const char *who) {
    INT_PTR result = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(BROWSER), owner, browser_proc, depth);
    note("%s got %ld", who, long(result));
}

void gallery_command(HWND dialog, int id, int code) {
    note("command %d %d", id, code);
    switch (id) {
    case 1034:
        if (code == LBN_SELCHANGE) note("spin %ld", long(SendDlgItemMessageW(dialog, 1034, LB_GETCURSEL, 0, 0)));
        break;
    case 1082:
        if (code == LBN_SELCHANGE) note("days %s", days_of(dialog).c_str());
        break;
    case 1023:
        if (code == CBN_SELCHANGE) note("combo %s", combo_of(dialog).c_str());
        break;
    case 1046:
        if (code == BN_CLICKED) open_browser(dialog, 1, "gallery");
        break;
    case IDOK: {
        // The action key in the folder tree opens or closes the selected folder.
        HWND tree = item(dialog, 1055);
        if (GetFocus() == tree)
            SendMessageW(tree, TVM_EXPAND, TVE_TOGGLE, SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        break;
    }
    case CMD_REPORT: report(dialog); break;
    case CMD_TOGGLE_TEST: EnableWindow(item(dialog, 1047), !IsWindowEnabled(item(dialog, 1047))); break;
    case CMD_CLEAR_DAYS: SendDlgItemMessageW(dialog, 1082, LB_SETSEL, FALSE, -1); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    default: break;
    }
}

void gallery_notify(HWND dialog, const NMHDR *header) {
    HWND tree = item(dialog, 1055);
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto *change = reinterpret_cast<const NMLISTVIEW *>(header);
        note("listview changed %d %u %u %ld", change->iItem, change->uOldState, change->uNewState, long(change->lParam));
        break;
    }
    case NM_RETURN: {
        HWND list = header->hwndFrom;
        note("listview return %s", list_row(list, int(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0))).c_str());
        break;
    }
    case TVN_SELCHANGEDW: note("tree selected %s", tree_path(tree).c_str()); break;
    case TVN_ITEMEXPANDINGW: {
        auto *change = reinterpret_cast<const NMTREEVIEWW *>(header);
        TVITEMW it = {};
        it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        it.hItem = change->itemNew.hItem;
        it.iImage = it.iSelectedImage = change->action == TVE_COLLAPSE ? 1 : 0;
        SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        note("tree %s %s", change->action == TVE_COLLAPSE ? "collapsing" : "expanding",
             tree_text(tree, change->itemNew.hItem).c_str());
        break;
    }
    case DTN_DATETIMECHANGE: note("time %s", time_of(dialog).c_str()); break;
    default: break;
    }
}

INT_PTR gallery_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        start_dialog(dialog, GALLERY);
        fill_gallery(dialog);
        note("gallery open focus=%d", GetDlgCtrlID(reinterpret_cast<HWND>(wparam)));
        return TRUE;
    case WM_COMMAND: gallery_command(dialog, LOWORD(wparam), HIWORD(wparam)); return TRUE;
    case WM_NOTIFY: gallery_notify(dialog, reinterpret_cast<const NMHDR *>(lparam)); return TRUE;
    case WM_HOTKEY:
        if (HIWORD(lparam) == VK_TBACK) SHSendBackToFocusWindow(message, wparam, lparam);
        return TRUE;
    default: return FALSE;
    }
}

// The browser: a sorted list made at run time, whose item data is its depth
// times 100 plus its place in the order it was added.
INT_PTR browser_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    int depth = int(GetWindowLongW(dialog, DWL_USER));
    HWND list = item(dialog, 1089);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongW(dialog, DWL_USER, LONG(lparam));
        start_dialog(dialog, BROWSER);
        WCHAR title[32];
        swprintf(title, 32, L"Browser %d", int(lparam));
        SetWindowTextW(dialog, title);
        RECT client;
        GetClientRect(dialog, &client);
        list = CreateWindowExW(0, WC_LISTVIEW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                               LVS_SORTASCENDING | LVS_NOCOLUMNHEADER | LVS_SHAREIMAGELISTS, 0, 0, int(client.right),
                               int(client.bottom),
                               dialog, reinterpret_cast<HMENU>(1089), nullptr, nullptr);
        fill_sounds(list, sound_icons);
        const WCHAR *names[] = {L"Echo", L"Alpha", L"Delta", L"Bravo", L"Charlie"};
        for (int i = 0; i < 5; i++) add_sound(list, names[i], i % 2, LPARAM(lparam) * 100 + i + 1);
        LVITEMW state = {};
        state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETSELECTIONMARK, 0, 0);
        SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        SetFocus(list);
        note("browser %d open", int(lparam));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case 1046:
        case IDOK: {
            LVITEMW it = {};
            it.mask = LVIF_PARAM;
            it.iItem = int(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
            if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) EndDialog(dialog, it.lParam);
            return TRUE;
        }
        case CMD_DEEPER: open_browser(dialog, depth + 1, ("browser " + std::to_string(depth)).c_str()); return TRUE;
        case CMD_END_BELOW: note("end below %d", EndDialog(GetParent(dialog), 900 + depth)); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return TRUE;
        }
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR *>(lparam)->code == NM_RETURN) PostMessageW(dialog, WM_COMMAND, 1046, 0);
        return TRUE;
    case WM_HOTKEY:
        if (HIWORD(lparam) == VK_TBACK) SHSendBackToFocusWindow(message, wparam, lparam);
        return TRUE;
    default: return FALSE;
    }
}

LRESULT main_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_CREATE: {
        SHMENUBARINFO mb = {};
        mb.cbSize = sizeof mb;
        mb.hwndParent = w;
        mb.nToolBarId = MAIN_BAR;
        SHCreateMenuBar(&mb);
        return 0;
    }
    case MSG_OPEN:
        note("gallery returned %ld", long(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(GALLERY), w, gallery_proc, 0)));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == CMD_GALLERY) PostMessageW(w, MSG_OPEN, 0, 0);
        if (LOWORD(wp) == CMD_QUIT) DestroyWindow(w);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, m, wp, lp);
    }
}

void make_shared_things() {
    register_clock_bitmaps();
    resources_add_menubars(BARS, 3);
    resources_add_dialogs(DIALOGS, 2);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    LOGFONTW lf = {};
    lf.lfHeight = -(14 * 96 / 72);
    lf.lfWeight = FW_BOLD;
    wcscpy(lf.lfFaceName, L"Tahoma");
    digits = CreateFontIndirectW(&lf);
    down_marker = LoadBitmapW(nullptr, MAKEINTRESOURCEW(135));
    sound_icons = load_icons(323, 16, 16, false);
    folder_icons = load_icons(180, 16, 15, true);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: dialog_gallery DEVICE RECORD-FILE\n");
        return 2;
    }
    if (!device_open(argv[1])) return 3;
    record = fopen(argv[2], "a");
    if (!record) return 4;
    make_shared_things();
    int result = run_owner_window(L"GalleryMain", L"Gallery Main", main_proc, MSG_OPEN);
    ImageList_Destroy(sound_icons);
    ImageList_Destroy(folder_icons);
    DeleteObject(down_marker);
    DeleteObject(digits);
    fclose(record);
    return result < 0 ? 5 : result;
}

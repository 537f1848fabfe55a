// Dialogs: opening the largest dialog (sixteen controls, as the alarm
// editor has), filling it as it is filled, painting it and closing it; and a
// sorted list view of 5,000 sounds inserted and painted.
// Targets: under 10 ms and under 200 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/bench_device.h"
#include "platform/device/device.h"
#include "platform/phone.h"
#include "platform/screen/screen.h"
#include "resources/clock_bitmaps.h"

namespace {

constexpr int LARGEST = 600;
constexpr DWORD SPIN = UDS_AUTOBUDDY | UDS_HORZ | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_WRAP | UDS_EXPANDABLE;

const DialogItemResource LARGEST_ITEMS[] = {
    {L"STATIC", L"Alarm:", 1088, 0, 0, 4, 4, 40, 10},
    {L"LISTBOX", nullptr, 1034, LBS_NOTIFY | WS_TABSTOP, 0, 46, 2, 86, 14},
    {UPDOWN_CLASS, nullptr, 1078, SPIN, 0, 0, 0, 0, 0},
    {L"BUTTON", L"Alarm ON", 1010, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 20, 128, 12},
    {L"STATIC", L"Alarm name:", 1087, 0, 0, 4, 34, 128, 10},
    {L"EDIT", L"", 1000, ES_AUTOHSCROLL | WS_TABSTOP, 0, 4, 44, 128, 13},
    {L"STATIC", L"Alarm time:", 1079, 0, 0, 4, 60, 128, 10},
    {DATETIMEPICK_CLASS, nullptr, 1080, DTS_TIMEFORMAT | WS_TABSTOP, 0, 4, 70, 70, 14},
    {L"STATIC", L"Days:", 1081, 0, 0, 4, 88, 128, 10},
    {L"LISTBOX", nullptr, 1082, LBS_MULTIPLESEL | LBS_NOTIFY | WS_TABSTOP, 0, 4, 98, 128, 14},
    {UPDOWN_CLASS, nullptr, 1083, SPIN, 0, 0, 0, 0, 0},
    {L"STATIC", L"Sound:", 1020, 0, 0, 4, 116, 40, 10},
    {L"STATIC", L"<default>", 1084, SS_LEFTNOWORDWRAP, 0, 46, 116, 86, 10},
    {L"BUTTON", L"Browse", 1046, WS_TABSTOP, 0, 4, 128, 62, 14},
    {L"BUTTON", L"Test", 1047, WS_TABSTOP, 0, 70, 128, 62, 14},
    {L"BUTTON", L"Use System Volume", 1028, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 146, 128, 12},
    {L"STATIC", L"Alarm Volume:", 1085, 0, 0, 4, 160, 60, 10},
    {L"LISTBOX", nullptr, 1029, LBS_NOTIFY | WS_TABSTOP, 0, 66, 158, 66, 14},
    {UPDOWN_CLASS, nullptr, 1086, SPIN, 0, 0, 0, 0, 0},
};
const DialogResource DIALOGS[] = {
    {LARGEST, WS_POPUP | WS_CAPTION, 0, 0, 0, 137, 180, L"Set Alarm", LARGEST_ITEMS,
     int(sizeof LARGEST_ITEMS / sizeof LARGEST_ITEMS[0])},
};

void setup() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("VELMORA_SCREEN", "headless", 0);  // VELMORA_SCREEN=sdl measures the real window
    bench_device_open();
    register_clock_bitmaps();
    resources_add_dialogs(DIALOGS, 1);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}

void fill(HWND dialog) {
    WCHAR n[8];
    for (int i = 1; i <= 10; i++) {
        swprintf(n, 8, L"%d", i);
        SendDlgItemMessageW(dialog, 1034, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
        SendDlgItemMessageW(dialog, 1029, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    }
    for (const WCHAR *d : {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"})
        SendDlgItemMessageW(dialog, 1082, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
    SendDlgItemMessageW(dialog, 1034, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, 1029, LB_SETCURSEL, 6, 0);
    SendDlgItemMessageW(dialog, 1082, LB_SETSEL, TRUE, -1);
    SetDlgItemTextW(dialog, 1000, L"Wake up");
    CheckDlgButton(dialog, 1010, BST_CHECKED);
}

// Opens, fills, paints everything and composes the screen, then ends.
INT_PTR largest_proc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
        SHInitDialog(&init);
        fill(dialog);
        PostMessageW(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    if (message != WM_APP) return FALSE;
    UpdateWindow(dialog);
    plat::screen_present_now();
    EndDialog(dialog, 1);
    return TRUE;
}

void BM_OpenAndPaintTheLargestDialog(benchmark::State &state) {
    setup();
    for (auto _ : state) DialogBoxParamW(nullptr, MAKEINTRESOURCEW(LARGEST), nullptr, largest_proc, 0);
}
BENCHMARK(BM_OpenAndPaintTheLargestDialog)->Unit(benchmark::kMillisecond);

LRESULT parent_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

HWND parent_window() {
    static HWND parent = nullptr;
    if (parent) return parent;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = parent_proc;
    wc.lpszClassName = L"BenchParent";
    RegisterClassW(&wc);
    parent = CreateWindowExW(0, L"BenchParent", L"Sounds", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    return parent;
}

void BM_ListViewOf5000SoundsInsertedSortedAndPainted(benchmark::State &state) {
    setup();
    HWND parent = parent_window();
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR, 1, 1);
    HBITMAP strip = LoadBitmapW(nullptr, MAKEINTRESOURCEW(323));
    ImageList_Add(icons, strip, nullptr);
    DeleteObject(strip);
    RECT client;
    GetClientRect(parent, &client);
    for (auto _ : state) {
        HWND list = CreateWindowExW(0, WC_LISTVIEW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SORTASCENDING | LVS_NOCOLUMNHEADER | LVS_SHAREIMAGELISTS, 0, 0, int(client.right),
                                    int(client.bottom),
                                    parent, reinterpret_cast<HMENU>(1089), nullptr, nullptr);
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
        unsigned seed = 12345;
        WCHAR name[32];
        LVITEMW it = {};
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        it.pszText = name;
        for (int i = 0; i < 5000; i++) {
            seed = seed * 1103515245u + 12345u;
            swprintf(name, 32, L"%c%c song %05u.mp3", L'A' + (seed >> 16) % 26, L'a' + (seed >> 8) % 26, seed % 100000);
            it.iItem = i;
            it.iImage = i % 2;
            it.lParam = i;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
        }
        UpdateWindow(list);
        DestroyWindow(list);
    }
    ImageList_Destroy(icons);
}
BENCHMARK(BM_ListViewOf5000SoundsInsertedSortedAndPainted)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

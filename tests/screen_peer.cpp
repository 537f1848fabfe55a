// A small program with a window and a soft-key menu bar, for the screen
// tests: it writes what it receives to a record file, one line each, and is
// driven by velctl. With --timer it redraws a counter once a second, as the
// clock does; with --leave, "Done" says goodbye in a box and ends the program
// once it is answered.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/device/device.h"
#include "platform/phone.h"
#include "tests/support/quit_on_term.h"

namespace {

constexpr UINT CMD_START = 1001, CMD_PAUSE = 1003, CMD_ASK = 1004, CMD_LOCKED = 1005, CMD_INFORM = 1006,
           CMD_ALPHA = 1011, CMD_BETA = 1012, CMD_DONE = 1099;
const UINT_PTR TICK = 5;

const MenuItemResource MORE[] = {
    {MF_STRING, CMD_ALPHA, L"Alpha", nullptr, 0},
    {MF_STRING, CMD_BETA, L"Beta", nullptr, 0},
};
const MenuItemResource MAIN[] = {
    {MF_STRING, CMD_START, L"Start", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_POPUP, 0, L"More", MENU_ITEMS(MORE)},
    {MF_STRING, CMD_PAUSE, L"Pause", nullptr, 0},
    {MF_STRING, CMD_LOCKED, L"Locked", nullptr, 0},
    {MF_STRING, CMD_ASK, L"Ask", nullptr, 0},
    {MF_STRING, CMD_INFORM, L"Inform", nullptr, 0},
};
const MenuBarResource BARS[] = {
    {100, {{0, L"Menu", 0, MENU_ITEMS(MAIN)}, {0, L"Done", CMD_DONE, nullptr, 0}}},
};

// A 12x12 badge: a yellow square on a magenta key colour.
unsigned char badge_rgb[12 * 12 * 3];
const BitmapResource BITMAPS[] = {{200, 12, 12, 24, badge_rgb}};

FILE *record;
bool paused = false;
bool leave_on_done = false;
int ticks = 0;

void note(const char *fmt, long a, long b = 0) {
    fprintf(record, fmt, a, b);
    fputc('\n', record);
    fflush(record);
}

void paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT client;
    GetClientRect(w, &client);
    HBRUSH grey = CreateSolidBrush(RGB(30, 60, 90));
    FillRect(dc, &client, grey);
    DeleteObject(grey);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 0));
    RECT line = {0, 10, client.right, 40};
    DrawTextW(dc, L"Screen peer", -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP badge = LoadBitmapW(nullptr, MAKEINTRESOURCEW(200));
    HGDIOBJ old = SelectObject(mem, badge);
    TransparentImage(dc, 10, 50, 12, 12, mem, 0, 0, 12, 12, RGB(255, 0, 255));
    SelectObject(mem, old);
    DeleteObject(badge);
    DeleteDC(mem);
    WCHAR count[16];
    swprintf(count, 16, L"%d", ticks);
    RECT counter = {0, 70, client.right, 90};
    DrawTextW(dc, count, -1, &counter, DT_CENTER | DT_SINGLELINE);
    EndPaint(w, &ps);
}

void command(HWND w, UINT id) {
    note("command %ld", long(id));
    if (id == CMD_PAUSE) paused = !paused;
    if (id == CMD_ASK) note("msgbox %ld", MessageBoxW(w, L"Really quit?", L"Question", MB_YESNO | MB_ICONQUESTION));
    if (id == CMD_DONE && leave_on_done) {
        MessageBoxW(w, L"Leaving now", L"Screen Peer", MB_OK);
        DestroyWindow(w);
    }
    if (id == CMD_INFORM)
        note("msgbox %ld", MessageBoxW(w, L"The alarm was turned off because the maximum time was reached", L"Velmora",
                                       MB_OK | MB_ICONINFORMATION));
}

LRESULT proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_CREATE: {
        SHMENUBARINFO mb = {};
        mb.cbSize = sizeof mb;
        mb.hwndParent = w;
        mb.nToolBarId = 100;
        if (!SHCreateMenuBar(&mb)) note("menubar failed %ld", 0);
        return 0;
    }
    case WM_PAINT: paint(w); return 0;
    case WM_COMMAND: command(w, LOWORD(wp)); return 0;
    case WM_INITMENUPOPUP: {
        auto menu = reinterpret_cast<HMENU>(wp);
        EnableMenuItem(menu, CMD_LOCKED, MF_BYCOMMAND | MF_GRAYED);
        CheckMenuItem(menu, CMD_PAUSE, MF_BYCOMMAND | (paused ? MF_CHECKED : MF_UNCHECKED));
        note("initmenupopup %ld", long(LOWORD(lp)));
        return 0;
    }
    case WM_HOTKEY: note("hotkey %ld %ld", long(HIWORD(lp)), long(LOWORD(lp))); return 0;
    case WM_KEYDOWN: note("keydown %ld", long(wp)); return 0;
    case WM_CHAR: note("char %ld", long(wp)); return 0;
    case WM_SIZE: note("size %ldx%ld", long(LOWORD(lp)), long(HIWORD(lp))); return 0;
    case WM_SETTINGCHANGE: note("settingchange %ld", long(wp)); return 0;
    case WM_HIBERNATE: note("hibernate %ld", 0); return 0;
    case WM_HELP: note("help %ld", 0); return 0;
    case WM_TIMER: {
        ticks++;
        RECT counter = {0, 70, 240, 90};
        InvalidateRect(w, &counter, FALSE);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, m, wp, lp);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: screen_peer DEVICE RECORD-FILE [--timer|--leave]\n");
        return 2;
    }
    if (!device_open(argv[1])) return 3;
    record = fopen(argv[2], "a");
    if (!record) return 4;
    for (int i = 0; i < 12 * 12; i++) {
        bool inside = i / 12 >= 2 && i / 12 < 10 && i % 12 >= 2 && i % 12 < 10;
        badge_rgb[i * 3] = 255, badge_rgb[i * 3 + 1] = inside ? 255 : 0, badge_rgb[i * 3 + 2] = inside ? 0 : 255;
    }
    resources_add_bitmaps(BITMAPS, 1);
    resources_add_menubars(BARS, 1);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = L"ScreenPeer";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    if (!RegisterClassW(&wc)) return 5;
    HWND w = CreateWindowExW(0, L"ScreenPeer", L"Screen Peer", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (!w) return 6;
    if (argc > 3 && strcmp(argv[3], "--timer") == 0) SetTimer(w, TICK, 1000, nullptr);
    leave_on_done = argc > 3 && strcmp(argv[3], "--leave") == 0;
    quit_on_sigterm();
    note("ready %ld", 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    fclose(record);
    return int(msg.wParam);
}

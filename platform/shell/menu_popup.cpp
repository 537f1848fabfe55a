// The popup menu of a soft key: opened by its key after WM_INITMENUPOPUP,
// moved with the arrows (grayed items and separators are skipped), chosen
// with the action key or the item's digit, closed level by level with Back.
#include <algorithm>
#include <vector>

#include "platform/core/last_error.h"
#include "platform/screen/look.h"
#include "platform/shell/menu_internal.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

const WCHAR POPUP_CLASS[] = L"menu_popup";
constexpr int SEPARATOR_HEIGHT = 7;
constexpr int EDGE = 1;
constexpr int MARK_WIDTH = 14;  // check mark column
constexpr int ARROW_WIDTH = 14; // submenu arrow column
constexpr int PAD = 4;

struct Level {
    HMENU menu;
    int selected;  // -1 when nothing can be chosen
    HWND window;
};

struct OpenMenu {
    HWND bar = nullptr;
    int key = -1;
    std::vector<Level> levels;
};

OpenMenu &open_menu() {
    static OpenMenu m;
    return m;
}

int item_height() {
    HDC dc = GetDC(nullptr);
    SelectObject(dc, look_font(false));
    SIZE s = {0, 0};
    GetTextExtentPoint32W(dc, L"Ag", 2, &s);
    ReleaseDC(nullptr, dc);
    // Tighter rows on the small screen, so that a long menu still fits above the soft keys.
    int w, h;
    screen_size(&w, &h);
    return int(s.cy) + (std::min(w, h) < 240 ? 4 : 6);
}

// The digit shown before the item, 1 to 9 over the items that are not
// separators; 0 for none.
int item_number(const Menu *m, size_t index) {
    int n = 0;
    for (size_t i = 0; i <= index; i++)
        if (!(m->items[i].flags & MF_SEPARATOR)) n++;
    return (m->items[index].flags & MF_SEPARATOR) || n > 9 ? 0 : n;
}

SIZE popup_size(const Menu *m) {
    HDC dc = GetDC(nullptr);
    SelectObject(dc, look_font(false));
    SIZE digit = {0, 0};
    GetTextExtentPoint32W(dc, L"0 ", 2, &digit);
    int widest = 0, height = 2 * EDGE, row = item_height();
    for (const MenuItem &it : m->items) {
        SIZE s = {0, 0};
        GetTextExtentPoint32W(dc, it.text.c_str(), int(it.text.size()), &s);
        widest = std::max(widest, int(s.cx));
        height += (it.flags & MF_SEPARATOR) ? SEPARATOR_HEIGHT : row;
    }
    ReleaseDC(nullptr, dc);
    return {2 * EDGE + PAD + MARK_WIDTH + int(digit.cx) + widest + ARROW_WIDTH + PAD, height};
}

RECT item_rect(const Menu *m, size_t index, int width) {
    int y = EDGE, row = item_height();
    for (size_t i = 0; i < index; i++) y += (m->items[i].flags & MF_SEPARATOR) ? SEPARATOR_HEIGHT : row;
    int h = (m->items[index].flags & MF_SEPARATOR) ? SEPARATOR_HEIGHT : row;
    return {EDGE, y, width - EDGE, y + h};
}

void paint_item(HDC dc, const MenuItem &it, RECT r, int number, bool selected) {
    if (it.flags & MF_SEPARATOR) {
        RECT line = {r.left + PAD, (r.top + r.bottom) / 2, r.right - PAD, (r.top + r.bottom) / 2 + 1};
        look_fill(dc, line, LOOK_GRAYED);
        return;
    }
    if (selected) look_fill(dc, r, LOOK_HIGHLIGHT);
    COLORREF ink = (it.flags & (MF_GRAYED | MF_DISABLED)) ? LOOK_GRAYED : selected ? LOOK_BAR_TEXT : LOOK_TEXT;
    UINT line = DT_SINGLELINE | DT_VCENTER;
    RECT mark = {r.left + PAD, r.top, r.left + PAD + MARK_WIDTH, r.bottom};
    if (it.flags & MF_CHECKED) look_text(dc, mark, L"\x2713", ink, line | DT_LEFT);
    RECT text = {mark.right, r.top, r.right - ARROW_WIDTH, r.bottom};
    WCHAR label[8] = L"";
    if (number) swprintf(label, 8, L"%d ", number);
    std::wstring shown = std::wstring(label) + it.text;
    look_text(dc, text, shown.c_str(), ink, line | DT_LEFT | DT_END_ELLIPSIS);
    RECT arrow = {r.right - ARROW_WIDTH, r.top, r.right - PAD, r.bottom};
    if (it.submenu) look_text(dc, arrow, L"\x25B8", ink, line | DT_RIGHT);
}

void paint_popup(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    look_fill(dc, client, LOOK_EDGE);
    RECT inside = client;
    InflateRect(&inside, -EDGE, -EDGE);
    look_fill(dc, inside, LOOK_PANEL);
    SelectObject(dc, look_font(false));
    for (const Level &l : open_menu().levels) {
        if (l.window != window) continue;
        const Menu *m = menu_get(l.menu);
        for (size_t i = 0; m && i < m->items.size(); i++)
            paint_item(dc, m->items[i], item_rect(m, i, int(client.right)), item_number(m, i), int(i) == l.selected);
    }
    EndPaint(window, &ps);
}

LRESULT popup_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        paint_popup(window);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int next_selectable(const Menu *m, int from, int step) {
    int n = int(m->items.size());
    for (int k = 1; k <= n; k++) {
        int i = ((from + step * k) % n + n) % n;
        if (menu_item_selectable(m->items[size_t(i)])) return i;
    }
    return -1;
}

// Where a popup goes: the first level above its soft key, a submenu beside
// the item that opened it; always inside the screen, above the soft keys.
RECT place(SIZE size) {
    OpenMenu &om = open_menu();
    RECT screen, keys;
    screen_rect(&screen);
    screen_softkey_area(&keys);
    int x, bottom;
    if (om.levels.empty()) {
        x = om.key == 0 ? 0 : int(screen.right - size.cx);
        bottom = int(keys.top);
    } else {
        const Level &parent = om.levels.back();
        RECT pr;
        GetWindowRect(parent.window, &pr);
        const Menu *pm = menu_get(parent.menu);
        RECT item = item_rect(pm, size_t(std::max(parent.selected, 0)), int(pr.right - pr.left));
        x = int(pr.right) - 2 * PAD;
        bottom = int(pr.top + item.top + size.cy);
    }
    x = std::max(0, std::min(x, int(screen.right - size.cx)));
    bottom = std::min(bottom, int(keys.top));
    int top = std::max(0, bottom - int(size.cy));
    return {x, top, x + size.cx, top + size.cy};
}

void open_level(HMENU menu, int index) {
    OpenMenu &om = open_menu();
    SendMessageW(menubar_owner(om.bar), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELONG(index, 0));
    const Menu *m = menu_get(menu);
    if (!m || !IsWindow(om.bar) || !window_register_internal(POPUP_CLASS, popup_proc)) return;
    RECT r = place(popup_size(m));
    HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, POPUP_CLASS, L"", WS_POPUP, int(r.left), int(r.top),
                             int(r.right - r.left), int(r.bottom - r.top), om.bar, nullptr, nullptr, nullptr);
    if (!w) return;
    om.levels.push_back({menu, next_selectable(m, -1, 1), w});
    ShowWindow(w, SW_SHOWNA);
}

void close_top() {
    OpenMenu &om = open_menu();
    if (om.levels.empty()) return;
    HWND w = om.levels.back().window;
    om.levels.pop_back();
    DestroyWindow(w);
    if (om.levels.empty()) {
        menubar_set_open(om.bar, -1);
        om.bar = nullptr;
    }
}

void choose(const MenuItem &item) {
    HWND owner = menubar_owner(open_menu().bar);
    UINT id = item.id;
    menu_close_all();
    PostMessageW(owner, WM_COMMAND, MAKELONG(id, 0), 0);
}

void act(Level &l, const Menu *m) {
    if (l.selected < 0) return;
    const MenuItem &item = m->items[size_t(l.selected)];
    if (item.submenu) open_level(item.submenu, l.selected);
    else choose(item);
}

}  // namespace

bool menu_is_open(void) { return !open_menu().levels.empty(); }

void menu_open(HWND bar, int key_index, HMENU popup) {
    menu_close_all();
    OpenMenu &om = open_menu();
    om.bar = bar;
    om.key = key_index;
    menubar_set_open(bar, key_index);
    open_level(popup, key_index);
    if (om.levels.empty()) {
        menubar_set_open(bar, -1);
        om.bar = nullptr;
    }
}

void menu_close_all(void) {
    while (menu_is_open()) close_top();
}

bool menu_key(int vk, wchar_t ch) {
    OpenMenu &om = open_menu();
    if (om.levels.empty()) return false;
    Level &l = om.levels.back();
    const Menu *m = menu_get(l.menu);
    if (!m) {
        menu_close_all();
        return true;
    }
    if (ch >= L'1' && ch <= L'9') {
        for (size_t i = 0; i < m->items.size(); i++)
            if (item_number(m, i) == ch - L'0' && menu_item_selectable(m->items[i])) {
                l.selected = int(i);
                InvalidateRect(l.window, nullptr, FALSE);
                act(l, m);  // may open a level: `l` is not used after this
                break;
            }
        return true;
    }
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
        if (l.selected >= 0) l.selected = next_selectable(m, l.selected, vk == VK_UP ? -1 : 1);
        InvalidateRect(l.window, nullptr, FALSE);
        break;
    case VK_RIGHT:
        if (l.selected >= 0 && m->items[size_t(l.selected)].submenu) act(l, m);
        break;
    case VK_RETURN: act(l, m); break;
    case VK_LEFT:
        if (om.levels.size() > 1) close_top();
        break;
    case VK_TBACK: close_top(); break;
    case VK_TSOFT1:
    case VK_TSOFT2: menu_close_all(); break;
    default: break;
    }
    return true;
}

}  // namespace plat

// The popup list of a drop-down list or an expandable spin box: the items
// in a column under the field (above it when there is no room below), or over
// the whole screen between the bars; up and down move the highlight, the
// action key chooses, Back closes it. One is open at a time.
#include <algorithm>

#include "platform/controls/control_internal.h"
#include "platform/screen/look.h"
#include "platform/screen/screen.h"

namespace plat {

namespace {

const WCHAR DROP_CLASS[] = L"drop_list";
constexpr int ROW_PAD = 6;
constexpr int MIN_ROWS_BELOW = 3;

struct OpenList {
    HWND owner = nullptr;
    HWND popup = nullptr;
    std::vector<std::wstring> texts;
    int highlight = 0;
    int top = 0;  // first row in view
};

OpenList &open_list() {
    static OpenList l;
    return l;
}

int row_height(HWND owner) { return control_line_height(owner) + ROW_PAD; }

int rows_in_view(const OpenList &l) {
    RECT r;
    if (!GetClientRect(l.popup, &r)) return 1;
    return std::max(1, int(r.bottom - 2) / row_height(l.owner));
}

void paint_drop(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const OpenList &l = open_list();
    RECT client;
    GetClientRect(window, &client);
    look_fill(dc, client, LOOK_PANEL);
    look_frame(dc, client, LOOK_EDGE, 1);
    if (l.popup == window) {
        SelectObject(dc, control_font(l.owner));
        int row = row_height(l.owner), shown = rows_in_view(l);
        for (int i = l.top; i < int(l.texts.size()) && i < l.top + shown; i++) {
            RECT r = {1, 1 + (i - l.top) * row, client.right - 1, 1 + (i - l.top + 1) * row};
            if (i == l.highlight) look_fill(dc, r, LOOK_HIGHLIGHT);
            InflateRect(&r, -ROW_PAD, 0);
            look_text(dc, r, l.texts[size_t(i)].c_str(), i == l.highlight ? LOOK_BAR_TEXT : LOOK_TEXT,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        }
        if (int(l.texts.size()) > shown)
            look_scroll_thumb(dc, {client.right - 4, 1, client.right - 1, client.bottom - 1}, l.top, shown,
                              int(l.texts.size()));
    }
    EndPaint(window, &ps);
}

LRESULT drop_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        paint_drop(window);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// Under the field when at least a few rows fit there, else above it.
RECT placement(HWND owner, int count, bool full_screen) {
    RECT work, field;
    screen_work_area(&work);
    if (full_screen) return work;
    GetWindowRect(owner, &field);
    int want = count * row_height(owner) + 2;
    int below = int(work.bottom - field.bottom), above = int(field.top - work.top);
    bool down = below >= std::min(want, MIN_ROWS_BELOW * row_height(owner) + 2) || below >= above;
    int height = std::min(want, down ? below : above);
    return down ? RECT{field.left, field.bottom, field.right, field.bottom + height}
                : RECT{field.left, field.top - height, field.right, field.top};
}

HWND top_level_of(HWND window) {
    Window *w = window_get(window);
    while (w && w->parent) w = window_get(w->parent);
    return w ? w->handle : nullptr;
}

void keep_in_view(OpenList &l) {
    int shown = rows_in_view(l);
    if (l.highlight < l.top) l.top = l.highlight;
    if (l.highlight >= l.top + shown) l.top = l.highlight - shown + 1;
    InvalidateRect(l.popup, nullptr, FALSE);
}

}  // namespace

bool drop_list_open(HWND owner, const std::vector<TextItem> &items, int current, bool full_screen) {
    drop_list_close(open_list().owner);
    if (items.empty() || !window_register_internal(DROP_CLASS, drop_proc)) return false;
    RECT r = placement(owner, int(items.size()), full_screen);
    HWND popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, DROP_CLASS, L"", WS_POPUP, int(r.left), int(r.top),
                                 int(r.right - r.left), int(r.bottom - r.top), top_level_of(owner), nullptr, nullptr,
                                 nullptr);
    if (!popup) return false;
    OpenList &l = open_list();
    l.owner = owner;
    l.popup = popup;
    l.texts.clear();
    for (const TextItem &item : items) l.texts.push_back(item.text);
    l.highlight = std::clamp(current, 0, int(items.size()) - 1);
    l.top = 0;
    keep_in_view(l);
    ShowWindow(popup, SW_SHOWNA);
    InvalidateRect(owner, nullptr, TRUE);
    return true;
}

bool drop_list_is_open(HWND owner) { return owner && open_list().owner == owner; }

int drop_list_key(HWND owner, int vk) {
    OpenList &l = open_list();
    if (l.owner != owner) return -2;
    switch (vk) {
    case VK_UP:
    case VK_DOWN:
        l.highlight = std::clamp(l.highlight + (vk == VK_UP ? -1 : 1), 0, int(l.texts.size()) - 1);
        keep_in_view(l);
        return -1;
    case VK_RETURN: {
        int chosen = l.highlight;
        drop_list_close(owner);
        return chosen;
    }
    default: drop_list_close(owner); return -2;
    }
}

void drop_list_close(HWND owner) {
    OpenList &l = open_list();
    if (!owner || l.owner != owner) return;
    HWND popup = l.popup;
    l = OpenList();
    DestroyWindow(popup);
    InvalidateRect(owner, nullptr, TRUE);
}

}  // namespace plat

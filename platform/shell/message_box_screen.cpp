// Message boxes on the screen: a full-screen window under the caption, the
// icon and the wrapped text, its buttons on the soft keys (a third one in the
// right key's menu). Modal: the caller waits in a nested message loop while
// the clock and everything else go on.
#include <algorithm>
#include <vector>

#include "platform/screen/look.h"
#include "platform/shell/menu_internal.h"
#include "platform/shell/message_box.h"
#include "platform/screen/screen.h"
#include "platform/core/text.h"

namespace plat {

namespace {

const WCHAR BOX_CLASS[] = L"msgbox";
constexpr int MARGIN = 8;

struct ButtonName {
    int id;
    const WCHAR *label;
    const char *name;
};

const ButtonName BUTTONS[] = {{IDOK, L"OK", "ok"},         {IDCANCEL, L"Cancel", "cancel"}, {IDYES, L"Yes", "yes"},
                              {IDNO, L"No", "no"},         {IDRETRY, L"Retry", "retry"},    {IDABORT, L"Abort", "abort"},
                              {IDIGNORE, L"Ignore", "ignore"}};

struct Box {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    std::vector<int> buttons;
    int result = 0;
    bool done = false;
};

std::vector<Box *> &showing() {
    static std::vector<Box *> s;
    return s;
}

const ButtonName &button(int id) {
    for (const ButtonName &b : BUTTONS)
        if (b.id == id) return b;
    return BUTTONS[0];
}

std::vector<int> buttons_of(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

bool has(const Box *b, int id) { return std::find(b->buttons.begin(), b->buttons.end(), id) != b->buttons.end(); }

// Back answers Cancel, else No, else OK; a box without any of them ignores it.
int back_answer(const Box *b) {
    for (int id : {IDCANCEL, IDNO, IDOK})
        if (has(b, id)) return id;
    return 0;
}

void finish(Box *b, int id) {
    if (!id || !has(b, id)) return;
    b->result = id;
    b->done = true;
}

// The icon's mark: bold, about two thirds of the icon high; one per size.
HFONT mark_font(int size) {
    static std::vector<std::pair<int, HFONT>> fonts;
    for (auto &f : fonts)
        if (f.first == size) return f.second;
    LOGFONTW lf = {};
    lf.lfHeight = -(size * 2 / 3);
    lf.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&lf);
    fonts.push_back({size, font});
    return font;
}

void draw_icon(HDC dc, UINT type, int x, int y, int size) {
    UINT icon = type & MB_ICONMASK;
    if (!icon) return;
    bool warning = icon == MB_ICONWARNING;
    COLORREF fill = warning ? RGB(240, 170, 0) : icon == MB_ICONERROR ? RGB(204, 0, 0) : LOOK_HIGHLIGHT;
    const WCHAR *mark = warning ? L"!" : icon == MB_ICONERROR ? L"\x00D7" : icon == MB_ICONQUESTION ? L"?" : L"i";
    look_blend(dc, x, y, look_shape(size, warning), size, fill);
    RECT r = {x, y + (warning ? size / 6 : 0), x + size, y + size};
    HGDIOBJ old = SelectObject(dc, mark_font(size));
    look_text(dc, r, mark, warning ? LOOK_TEXT : LOOK_BAR_TEXT, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
}

void paint_box(HWND window, const Box *b) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    look_fill(dc, client, LOOK_PANEL);
    int icon = client.right < 200 ? 24 : 32;
    bool with_icon = (b->type & MB_ICONMASK) != 0;
    if (with_icon) draw_icon(dc, b->type, MARGIN, MARGIN, icon);
    RECT text = {MARGIN + (with_icon ? icon + MARGIN : 0), MARGIN, client.right - MARGIN, client.bottom - MARGIN};
    SelectObject(dc, look_font(false));
    look_text(dc, text, b->text.c_str(), LOOK_TEXT, DT_WORDBREAK | DT_LEFT);
    EndPaint(window, &ps);
}

Box *box_of(HWND window) {
    for (Box *b : showing())
        if (b->window == window) return b;
    return nullptr;
}

LRESULT box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Box *b = box_of(window);
    if (!b) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_PAINT: paint_box(window, b); return 0;
    case WM_COMMAND: finish(b, LOWORD(wparam)); return 0;
    case WM_KEYDOWN:
        if (wparam == VK_RETURN) finish(b, message_box_default_answer(b->type));
        return 0;
    case WM_HOTKEY:
        if (HIWORD(lparam) == VK_TBACK) finish(b, back_answer(b));
        return 0;
    case WM_CLOSE: finish(b, back_answer(b)); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

HWND make_window(Box *b, HWND owner) {
    if (!window_register_internal(BOX_CLASS, box_proc)) return nullptr;
    RECT work;
    screen_work_area(&work);
    b->window = CreateWindowExW(0, BOX_CLASS, b->caption.c_str(), WS_POPUP, int(work.left), int(work.top),
                                int(work.right - work.left), int(work.bottom - work.top), owner, nullptr, nullptr,
                                nullptr);
    if (!b->window) return nullptr;
    SoftKey keys[2];
    keys[0].text = button(b->buttons[0]).label;
    keys[0].command = UINT(b->buttons[0]);
    if (b->buttons.size() == 2) {
        keys[1].text = button(b->buttons[1]).label;
        keys[1].command = UINT(b->buttons[1]);
    } else if (b->buttons.size() == 3) {
        keys[1].text = L"Menu";
        keys[1].popup = CreatePopupMenu();
        for (size_t i = 1; i < 3; i++) AppendMenuW(keys[1].popup, MF_STRING, UINT(b->buttons[i]), button(b->buttons[i]).label);
    }
    if (HWND bar = menubar_create(b->window, keys)) ShowWindow(bar, SW_SHOWNA);
    return b->window;
}

HWND top_level_of(HWND window) {
    Window *w = window_get(window);
    while (w && w->parent) w = window_get(w->parent);
    return w && w->remote.empty() ? w->handle : nullptr;
}

}  // namespace

int screen_message_box(HWND owner_window, LPCWSTR text, LPCWSTR caption, UINT type) {
    Box box;
    box.caption = caption ? caption : L"Error";
    box.text = text ? text : L"";
    box.type = type;
    box.buttons = buttons_of(type);
    HWND owner = top_level_of(owner_window);
    showing().push_back(&box);
    if (!make_window(&box, owner)) {
        showing().pop_back();
        return 0;
    }
    bool owner_enabled = owner && IsWindowEnabled(owner);
    if (owner_enabled) EnableWindow(owner, FALSE);
    ShowWindow(box.window, SW_SHOW);
    SetFocus(box.window);
    MSG msg;
    while (!box.done) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            // The program is quitting: pass the quit on, answer as Back would.
            PostQuitMessage(int(msg.wParam));
            box.result = back_answer(&box) ? back_answer(&box) : message_box_default_answer(type);
            break;
        }
        DispatchMessageW(&msg);
    }
    showing().erase(std::find(showing().begin(), showing().end(), &box));
    if (owner_enabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    DestroyWindow(box.window);
    if (owner && IsWindow(owner)) SetForegroundWindow(owner);
    return box.result;
}

bool message_box_screen_describe(std::string *caption, std::string *text, std::string *buttons, std::string *icon) {
    if (showing().empty()) return false;
    const Box *b = showing().back();
    *caption = to_utf8(b->caption.c_str());
    *text = to_utf8(b->text.c_str());
    buttons->clear();
    for (int id : b->buttons) *buttons += (buttons->empty() ? "" : ",") + std::string(button(id).name);
    switch (b->type & MB_ICONMASK) {
    case MB_ICONERROR: *icon = "error"; break;
    case MB_ICONWARNING: *icon = "warning"; break;
    case MB_ICONQUESTION: *icon = "question"; break;
    case MB_ICONINFORMATION: *icon = "information"; break;
    default: *icon = "none";
    }
    return true;
}

bool message_box_screen_answer(int id) {
    if (showing().empty() || !has(showing().back(), id)) return false;
    PostMessageW(showing().back()->window, WM_COMMAND, WPARAM(id), 0);
    return true;
}

}  // namespace plat

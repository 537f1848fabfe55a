// The plain static text control: its text in its font, in the colours its
// parent returns for WM_CTLCOLORSTATIC, wrapped unless it is one line high.
#include "platform/gdi.h"
#include "platform/static_control.h"
#include "platform/window_internal.h"

namespace {

UINT text_format(DWORD style) {
    UINT format = DT_WORDBREAK;
    if ((style & SS_TYPEMASK) == SS_CENTER) format |= DT_CENTER;
    else if ((style & SS_TYPEMASK) == SS_RIGHT) format |= DT_RIGHT;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

void paint_static(HWND window) {
    plat::Window *w = plat::window_get(window);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (w->font) SelectObject(dc, w->font);
    HWND parent = w->parent ? w->parent : window;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(window)));
    if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProcW(parent, WM_CTLCOLORSTATIC,
                                                                 reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    w = plat::window_get(window);
    if (w) {
        RECT client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
        FillRect(dc, &client, brush);
        DrawTextW(dc, w->title.c_str(), int(w->title.size()), &client, text_format(w->style));
    }
    EndPaint(window, &ps);
}

LRESULT static_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: paint_static(window); return 0;
    case WM_ERASEBKGND: return 1;  // painted whole with the parent's brush
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

void plat::system_classes_register(void) {
    static bool done = false;
    if (done) return;
    done = true;
    window_register_internal(L"STATIC", static_proc);
}

// What a window does with a message its procedure leaves alone.
#include "platform/controls/control_internal.h"
#include "platform/gdi/gdi.h"

namespace {

// The class's background brush fills the update area.
LRESULT erase_background(plat::Window *w, HDC dc) {
    HBRUSH brush = w->window_class ? w->window_class->info.hbrBackground : nullptr;
    if (!brush) return 0;
    RECT client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return FillRect(dc, &client, brush) ? 1 : 0;
}

// A control asking for its colours gets black text on white.
LRESULT default_colours(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    plat::Window *w = plat::window_get(window);
    if (!w) return 0;
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(window, &ps)) EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return erase_background(w, reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
        // The activated window takes the keys unless one of its children has them.
        if (LOWORD(wparam) != WA_INACTIVE) {
            HWND focus = GetFocus();
            bool inside = false;
            for (plat::Window *f = plat::window_get(focus); f; f = plat::window_get(f->parent))
                if (f->handle == window) inside = true;
            if (!inside) SetFocus(window);
        }
        return 0;
    case WM_SETTEXT:
        w->title = lparam ? reinterpret_cast<LPCWSTR>(lparam) : L"";
        InvalidateRect(window, nullptr, TRUE);
        if (!w->parent) plat::window_table().layout_changed = true;  // the title bar shows it
        return TRUE;
    case WM_GETTEXTLENGTH: return LRESULT(w->title.size());
    case WM_GETTEXT: return plat::copy_window_text(w->title, wparam, lparam);
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wparam);
        if (LOWORD(lparam)) InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG: return default_colours(reinterpret_cast<HDC>(wparam));
    default: return 0;
    }
}

// Painting a window: BeginPaint hands out a DC limited to the update area,
// erases the background when asked, and validates the window.
#include <cstring>

#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"
#include "platform/window/window_internal.h"

HDC BeginPaint(HWND window, LPPAINTSTRUCT ps) {
    plat::Window *w = plat::window_get(window);
    if (!w || !w->remote.empty() || !ps) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    memset(ps, 0, sizeof *ps);
    RECT client = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    ps->rcPaint = w->dirty ? w->invalid : client;
    bool erase = w->dirty ? w->erase : false;
    ValidateRect(window, nullptr);
    auto dc = std::make_unique<plat::DeviceContext>();
    dc->kind = plat::DeviceContext::WINDOW;
    dc->window = window;
    dc->painting = true;
    dc->paint_area = ps->rcPaint;
    ps->hdc = plat::gdi_add_dc(std::move(dc));
    ps->fErase = erase && !SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0);
    return ps->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT *ps) {
    if (!ps) return FALSE;
    return ReleaseDC(window, ps->hdc) ? TRUE : FALSE;
}

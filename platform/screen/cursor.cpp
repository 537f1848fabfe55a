// Cursors and screen metrics. The phone has no pointer: the only cursor
// that shows is the wait cursor, an hourglass in the middle of the screen.
#include "platform/screen/screen.h"

namespace {

HCURSOR stock_cursor(LPCWSTR name) { return reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name)); }

HCURSOR current = nullptr;

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || (name != IDC_WAIT && name != IDC_ARROW)) return nullptr;
    return stock_cursor(name);
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old = current;
    current = cursor;
    plat::screen_set_waiting(cursor == stock_cursor(IDC_WAIT));
    return old;
}

int GetSystemMetrics(int index) {
    int w, h;
    plat::screen_size(&w, &h);
    switch (index) {
    case SM_CXSCREEN: return w;
    case SM_CYSCREEN: return h;
    default: return 0;
    }
}

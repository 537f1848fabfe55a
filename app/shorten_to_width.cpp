// Fitting a text into a label: characters come off the end, one at a time,
// and "..." goes after what is left, until it fits.
#include <cwchar>

#include "app/status_labels.h"

namespace {

// The first `kept` characters of `text`, with "..." when it was cut; never
// more than `out` holds.
void candidate(LPWSTR out, size_t cap, LPCWSTR text, size_t kept, bool cut) {
    size_t room = cap > 4 ? cap - (cut ? 4 : 1) : 0;
    swprintf(out, cap, cut ? L"%.*ls..." : L"%.*ls", int(kept < room ? kept : room), text);
}

int text_width(HDC dc, LPCWSTR text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
    return int(size.cx);
}

}  // namespace

void shorten_to_width(HWND label, LPCWSTR text, LPWSTR out, size_t cap) {
    if (cap == 0) return;
    size_t length = wcslen(text);
    candidate(out, cap, text, length, false);
    RECT client;
    if (!GetClientRect(label, &client)) return;
    int available = int(client.right - client.left);
    // Measured in the font the label draws with, so the result really fits.
    HDC dc = GetDC(label);
    auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    size_t kept = length;
    while (kept > 0 && text_width(dc, out) > available) candidate(out, cap, text, --kept, true);
    if (kept == 0) candidate(out, cap, text, length, false);
    if (old) SelectObject(dc, old);
    ReleaseDC(label, dc);
}

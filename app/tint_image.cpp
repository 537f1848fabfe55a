// Recolouring one face image: the digits and indicators are drawn in pure
// yellow and take the user's colour once, when they are loaded.
#include <cstring>

#include "app/clock_face.h"

namespace {

constexpr COLORREF KEY_YELLOW = RGB(255, 255, 0);

HBITMAP make_section(int width, int height, unsigned char **bits) {
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<unsigned char *>(pixels);
    return pixels ? section : nullptr;
}

// Rows are padded to four bytes; the padding is left alone.
void recolour(unsigned char *bits, int width, int height, int stride, COLORREF colour) {
    for (int y = 0; y < height; y++) {
        unsigned char *p = bits + size_t(y) * size_t(stride);
        for (int x = 0; x < width; x++, p += 3) {
            if (p[2] != GetRValue(KEY_YELLOW) || p[1] != GetGValue(KEY_YELLOW) || p[0] != GetBValue(KEY_YELLOW)) continue;
            p[2] = GetRValue(colour);
            p[1] = GetGValue(colour);
            p[0] = GetBValue(colour);
        }
    }
}

}  // namespace

HBITMAP load_tinted(HINSTANCE instance, int id, COLORREF colour) {
    HBITMAP loaded = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    if (!loaded) return nullptr;
    BITMAP size;
    unsigned char *bits = nullptr;
    HBITMAP section = nullptr;
    if (GetObjectW(loaded, sizeof size, &size) && size.bmWidth > 0 && size.bmHeight > 0)
        section = make_section(int(size.bmWidth), int(size.bmHeight), &bits);
    if (!section) {
        DeleteObject(loaded);
        return nullptr;
    }
    // Copied into the section on the tinting surface; then the loaded one goes.
    HGDIOBJ target_old = SelectObject(Images.tint_dc, section);
    HGDIOBJ source_old = SelectObject(Images.image_dc, loaded);
    BitBlt(Images.tint_dc, 0, 0, int(size.bmWidth), int(size.bmHeight), Images.image_dc, 0, 0, SRCCOPY);
    SelectObject(Images.image_dc, source_old);
    SelectObject(Images.tint_dc, target_old);
    DeleteObject(loaded);
    BITMAP layout;
    if (GetObjectW(section, sizeof layout, &layout))
        recolour(bits, int(layout.bmWidth), int(layout.bmHeight), int(layout.bmWidthBytes), colour);
    return section;
}

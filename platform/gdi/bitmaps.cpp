// Bitmaps: loaded from the program's compiled resources, made compatible
// with the screen, or device-independent sections whose bits the caller
// reads and writes directly (24-bit, blue-green-red, rows padded to 4 bytes).
#include <cstring>

#include "platform/gdi/gdi_internal.h"
#include "platform/core/last_error.h"
#include "platform/core/resources.h"

using plat::Bitmap;

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    const BitmapResource *res = IS_INTRESOURCE(name) ? resources_find_bitmap(int(LOWORD(name))) : nullptr;
    if (!res || !res->rgb) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    auto b = std::make_unique<Bitmap>();
    if (!plat::surface_alloc(b->surface, res->width, res->height)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    for (int y = 0; y < res->height; y++) {
        const unsigned char *s = res->rgb + size_t(y) * res->width * 3;
        unsigned char *d = b->surface.pixel(0, y);
        for (int x = 0; x < res->width; x++, s += 3, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
    }
    return plat::gdi_add_bitmap(std::move(b));
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    auto b = std::make_unique<Bitmap>();
    if (!plat::surface_alloc(b->surface, width, height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return plat::gdi_add_bitmap(std::move(b));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section, DWORD) {
    if (bits) *bits = nullptr;
    // Only what the screen shows: 24-bit uncompressed pixels in our own memory.
    if (!info || usage != DIB_RGB_COLORS || section || info->bmiHeader.biBitCount != 24 ||
        info->bmiHeader.biCompression != BI_RGB || info->bmiHeader.biPlanes > 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LONG height = info->bmiHeader.biHeight;
    auto b = std::make_unique<Bitmap>();
    b->dib = true;
    if (!plat::surface_alloc(b->surface, int(info->bmiHeader.biWidth), int(height < 0 ? -height : height), height > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    unsigned char *pixels = b->surface.bits();
    HBITMAP h = plat::gdi_add_bitmap(std::move(b));
    if (bits) *bits = pixels;
    return h;
}

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
    if (!res || !res->runs) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    auto b = std::make_unique<Bitmap>();
    if (!plat::surface_alloc(b->surface, res->width, res->height)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Unpacked straight into the bitmap: no second copy of the pixels.
    BitmapRuns runs;
    bitmap_runs_start(&runs, res);
    unsigned char rgb[3];
    for (int y = 0; y < res->height; y++) {
        unsigned char *d = b->surface.pixel(0, y);
        for (int x = 0; x < res->width; x++, d += 3) {
            if (!bitmap_runs_next(&runs, rgb)) {
                SetLastError(ERROR_INVALID_DATA);
                return nullptr;
            }
            d[0] = rgb[2], d[1] = rgb[1], d[2] = rgb[0];
        }
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

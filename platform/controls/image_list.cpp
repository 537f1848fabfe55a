// Image lists: images of one size cut from bitmaps, each with the colour
// that is transparent in it (ImageList_AddMasked on a list with ILC_MASK),
// drawn through the painter. A destroyed list's handle is refused.
#include <vector>

#include "platform/controls/commctrl.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/core/handle_table.h"
#include "platform/core/last_error.h"

namespace plat {

namespace {

struct Image {
    Surface pixels;
    bool keyed = false;
    COLORREF key = 0;
};

struct ImageList {
    int width = 0;
    int height = 0;
    UINT flags = 0;
    std::vector<Image> images;
};

HandleTable<ImageList> &table() {
    static HandleTable<ImageList> t(0x40000);
    return t;
}

ImageList *find(HIMAGELIST handle) { return table().find(handle); }

// Cuts the bitmap into as many whole images as its width holds.
int add(HIMAGELIST handle, HBITMAP bitmap, const COLORREF *key) {
    ImageList *list = find(handle);
    Bitmap *b = gdi_bitmap(bitmap);
    if (!list || !b || b->surface.width < list->width) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    int first = int(list->images.size());
    for (int x = 0; x + list->width <= b->surface.width; x += list->width) {
        Image image;
        if (!surface_alloc(image.pixels, list->width, list->height)) return -1;
        RECT from = {x, 0, x + list->width, list->height}, all = {0, 0, list->width, list->height};
        paint_copy(image.pixels, 0, 0, b->surface, from, all, nullptr);
        image.keyed = key && (list->flags & ILC_MASK);
        image.key = key ? *key & 0xFFFFFF : 0;
        list->images.push_back(std::move(image));
    }
    return first;
}

}  // namespace

}  // namespace plat

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
    if (width <= 0 || height <= 0 || initial < 0 || grow < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto list = std::make_unique<plat::ImageList>();
    list->width = width;
    list->height = height;
    list->flags = flags;
    list->images.reserve(size_t(initial));
    return plat::table().add<HIMAGELIST>(std::move(list));
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP) { return plat::add(list, image, nullptr); }

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key) { return plat::add(list, image, &key); }

int ImageList_GetImageCount(HIMAGELIST handle) {
    plat::ImageList *list = plat::find(handle);
    return list ? int(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int *width, int *height) {
    plat::ImageList *list = plat::find(handle);
    if (!list || !width || !height) return FALSE;
    *width = list->width;
    *height = list->height;
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC dc, int x, int y, UINT) {
    plat::ImageList *list = plat::find(handle);
    plat::DcTarget t;
    if (!list || index < 0 || index >= int(list->images.size()) || !plat::dc_target(plat::gdi_dc(dc), &t)) return FALSE;
    const plat::Image &image = list->images[size_t(index)];
    RECT from = {0, 0, list->width, list->height};
    plat::paint_copy(*t.surface, x + t.origin.x, y + t.origin.y, image.pixels, from, t.clip,
                     image.keyed ? &image.key : nullptr);
    OffsetRect(&from, x + t.origin.x, y + t.origin.y);
    plat::dc_drawn(t, from);
    return TRUE;
}

BOOL ImageList_Destroy(HIMAGELIST handle) { return plat::table().erase(handle) ? TRUE : FALSE; }

// Image lists: images of one size cut from bitmaps, each with the colour
// that is transparent in it (ImageList_AddMasked on a list with ILC_MASK),
// drawn through the painter. Handles are never reused, so a destroyed list
// is refused rather than mistaken for a newer one.
#include <map>
#include <memory>
#include <vector>

#include "platform/commctrl.h"
#include "platform/gdi_internal.h"
#include "platform/last_error.h"

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

struct ImageListTable {
    std::map<uintptr_t, std::unique_ptr<ImageList>> lists;
    uintptr_t next = 0x40000;
};

ImageListTable &table() {
    static ImageListTable t;
    return t;
}

ImageList *find(HIMAGELIST handle) {
    auto it = table().lists.find(reinterpret_cast<uintptr_t>(handle));
    return it == table().lists.end() ? nullptr : it->second.get();
}

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
    plat::ImageListTable &t = plat::table();
    uintptr_t h = t.next;
    t.next += 4;
    t.lists[h] = std::move(list);
    return reinterpret_cast<HIMAGELIST>(h);
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
    plat::dc_drawn(t);
    return TRUE;
}

BOOL ImageList_Destroy(HIMAGELIST handle) {
    return plat::table().lists.erase(reinterpret_cast<uintptr_t>(handle)) ? TRUE : FALSE;
}

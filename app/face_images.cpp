// The face's images: every tinted image of all three layouts, and the
// background and bell of the current one, loaded and released together.
#include <cstring>

#include "app/clock_face.h"
#include "app/main_window.h"
#include "store/settings.h"

BitmapSet Images;

namespace {

struct LayoutImageIds {
    int digits[10];
    int blank, colon_shown, colon_hidden, am, pm, banner;  // 0: none
};

// Small, large, landscape, as layout_index() numbers them.
const LayoutImageIds IMAGE_IDS[LAYOUT_COUNT] = {
    {{219, 221, 222, 223, 224, 225, 226, 227, 228, 229}, 230, 231, 220, 277, 278, 0},
    {{205, 206, 207, 208, 209, 210, 211, 212, 213, 214}, 215, 217, 216, 116, 117, 200},
    {{248, 249, 250, 251, 252, 253, 254, 255, 247, 256}, 215, 279, 280, 277, 278, 204},
};

HBITMAP tinted(HINSTANCE instance, int id, COLORREF colour) {
    return id ? load_tinted(instance, id, colour) : nullptr;
}

void load_layout(HINSTANCE instance, const LayoutImageIds &ids, LayoutImages *out, COLORREF colour) {
    for (int d = 0; d < 10; d++) out->digits[d] = tinted(instance, ids.digits[d], colour);
    out->blank = tinted(instance, ids.blank, colour);
    out->colon_shown = tinted(instance, ids.colon_shown, colour);
    out->colon_hidden = tinted(instance, ids.colon_hidden, colour);
    out->am = tinted(instance, ids.am, colour);
    out->pm = tinted(instance, ids.pm, colour);
    out->banner = tinted(instance, ids.banner, colour);
}

void delete_layout(LayoutImages *images) {
    for (HBITMAP b : images->digits) DeleteObject(b);
    for (HBITMAP b : {images->blank, images->colon_shown, images->colon_hidden, images->am, images->pm, images->banner})
        DeleteObject(b);
}

}  // namespace

COLORREF clock_colour(void) {
    COLORREF c = Settings.Color & 0x00FFFFFF;
    return c == 0 ? RGB(255, 255, 0) : c;
}

void load_images(HINSTANCE instance) {
    release_images();
    Images.background_dc = CreateCompatibleDC(nullptr);
    Images.image_dc = CreateCompatibleDC(nullptr);
    Images.tint_dc = CreateCompatibleDC(nullptr);
    Images.background = LoadBitmapW(instance, MAKEINTRESOURCEW(Layout.background_id));
    if (Images.background) Images.background_dc_old = SelectObject(Images.background_dc, Images.background);
    COLORREF colour = clock_colour();
    for (int i = 0; i < LAYOUT_COUNT; i++) load_layout(instance, IMAGE_IDS[i], &Images.layouts[i], colour);
    Images.bell = LoadBitmapW(instance, MAKEINTRESOURCEW(Layout.bell_id));
    compute_slots();
    Images.loaded = true;
}

void release_images(void) {
    if (!Images.loaded) return;
    Images.loaded = false;
    if (Images.background_dc_old) SelectObject(Images.background_dc, Images.background_dc_old);
    DeleteDC(Images.background_dc);
    DeleteDC(Images.image_dc);
    DeleteDC(Images.tint_dc);
    DeleteObject(Images.background);
    DeleteObject(Images.bell);
    for (LayoutImages &l : Images.layouts) delete_layout(&l);
    memset(&Images, 0, sizeof Images);
}

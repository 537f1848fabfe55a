// PNG files through libpng: 8-bit RGB, no alpha, rows top-down.
#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/screen/screen_control.h"

bool png_write_rgb(const char *path, int width, int height, const unsigned char *rgb, std::string *error) {
    FILE *f = fopen(path, "wb");
    if (!f) {
        *error = std::string("cannot write ") + path + ": " + strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        *error = std::string("cannot encode ") + path;
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) png_write_row(png, rgb + size_t(y) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (fclose(f) != 0) {
        *error = std::string("cannot write ") + path + ": " + strerror(errno);
        return false;
    }
    return true;
}

bool png_read_rgb(const char *path, int *width, int *height, std::vector<unsigned char> *rgb) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    rgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    *width = int(image.width);
    *height = int(image.height);
    return true;
}

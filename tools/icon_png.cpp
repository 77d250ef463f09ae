// Writing the icon's RGBA pictures as PNG files for Linux icon themes.
#include "icon_png.h"

#include <png.h>

bool write_rgba_png(const char *path, int side, const std::vector<unsigned char> &rgba,
                    std::string *error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(side);
    image.height = static_cast<png_uint_32>(side);
    image.format = PNG_FORMAT_RGBA;
    // libpng's simplified API writes no time chunk, so the file depends on the pixels alone.
    if (png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr) == 0) {
        *error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

// Writing the icon's RGBA pictures as PNG files for Linux icon themes.
#include "icon_png.h"

#include "output_file.h"

#include <png.h>

bool write_rgba_png(const char *path, int side, const std::vector<unsigned char> &rgba,
                    std::string *error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(side);
    image.height = static_cast<png_uint_32>(side);
    image.format = PNG_FORMAT_RGBA;
    // libpng's simplified API writes no time chunk, so the file depends on the pixels alone.
    // Encoded in memory, then written by the tools' rules.
    png_alloc_size_t size = 0;
    const bool sized =
        png_image_write_get_memory_size(image, size, 0, rgba.data(), 0, nullptr) != 0;
    std::string encoded(sized ? size : 0, '\0');
    if (!sized ||
        png_image_write_to_memory(&image, encoded.data(), &size, 0, rgba.data(), 0, nullptr) == 0) {
        *error = std::string("cannot write ") + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    encoded.resize(size);
    return write_output_file(path, encoded, error);
}

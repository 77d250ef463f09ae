#include "png_file.h"

#include "output_file.h"

#include <png.h>

#include <cstring>

namespace {

struct Sink {
    const OutputFile *out;
    int error; // errno of a failed write
};

extern "C" void write_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    sink->error = write_output(*sink->out, data, length);
    if (sink->error != 0)
        png_error(png, "write failed");
}

// libpng's own handlers print to stderr; the tool says what failed in its one line instead.
extern "C" void stop_silently(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

extern "C" void ignore_warning(png_structp, png_const_charp) {}

extern "C" void flush_nothing(png_structp) {}

// libpng reports errors by longjmp; this function keeps no C++ objects alive across it.
bool encode(Sink *sink, const Picture &picture) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stop_silently, ignore_warning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, write_bytes, flush_nothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y)
        png_write_row(png, &picture.rgb[static_cast<size_t>(y) * picture.width * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool write_png(const std::string &path, const Picture &picture, std::string *error) {
    OutputFile out;
    std::string reason;
    if (!open_output(path, &out, &reason)) {
        *error = "cannot write " + path + ": " + reason;
        return false;
    }
    Sink sink{&out, 0};
    if (!encode(&sink, picture)) {
        abandon_output(&out);
        *error = "cannot write " + path + ": " +
                 (sink.error != 0 ? std::strerror(sink.error) : "the PNG encoder failed");
        return false;
    }
    if (!commit_output(&out, &reason)) {
        *error = "cannot write " + path + ": " + reason;
        return false;
    }
    return true;
}

bool read_png(const std::string &path, Picture *picture, std::string *error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        *error = "cannot read " + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr)) {
        *error = "cannot decode " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

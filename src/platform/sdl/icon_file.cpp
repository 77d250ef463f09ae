// Icon files (.ico) as the program's icon resources: the same file the Windows build compiles in
// with its .rc is embedded in the native program and decoded here into ARGB images.
#include "platform/sdl/sdl_win32.h"

#include <cstddef>
#include <vector>

namespace {

struct Reader {
    const unsigned char *data;
    std::size_t size;

    bool has(std::size_t offset, std::size_t count) const {
        return offset <= size && count <= size - offset;
    }
    unsigned byte(std::size_t offset) const { return data[offset]; }
    unsigned word(std::size_t offset) const { return data[offset] | (data[offset + 1] << 8); }
    std::uint32_t dword(std::size_t offset) const {
        return static_cast<std::uint32_t>(word(offset)) |
               (static_cast<std::uint32_t>(word(offset + 2)) << 16);
    }
};

// One image: a BITMAPINFOHEADER, a colour table for 8 bits or fewer, the colour rows, then the
// transparency mask (1 bit a pixel, set for transparent); rows run bottom-up, padded to 4 bytes.
bool decode_bitmap(const Reader &file, std::size_t at, std::size_t length, int &width, int &height,
                   std::vector<std::uint32_t> &argb) {
    const Reader image{file.data + at, length};
    if (!image.has(0, 40) || image.dword(0) < 40 || image.dword(16) != 0) // BI_RGB only
        return false;
    width = static_cast<int>(image.dword(4));
    height = static_cast<int>(image.dword(8)) / 2; // colour rows and mask rows
    const unsigned bits = image.word(14);
    if (width <= 0 || height <= 0 || width > 256 || height > 256 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return false;
    const std::size_t colours = bits > 8 ? 0 : image.dword(32) != 0 ? image.dword(32) : 1u << bits;
    const std::size_t table = image.dword(0);
    const std::size_t pixels = table + 4 * colours;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    const std::size_t mask = pixels + stride * static_cast<std::size_t>(height);
    const std::size_t mask_stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    if (!image.has(0, mask + mask_stride * static_cast<std::size_t>(height)))
        return false;
    argb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = pixels + stride * static_cast<std::size_t>(height - 1 - y);
        const std::size_t mask_row = mask + mask_stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            std::uint32_t alpha = 0xFF;
            std::size_t bgr;
            if (bits <= 8) {
                const std::size_t bit = ux * bits;
                const unsigned index =
                    (image.byte(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours)
                    return false;
                bgr = table + 4 * index;
            } else {
                bgr = row + ux * (bits / 8);
                if (bits == 32)
                    alpha = image.byte(bgr + 3);
            }
            if ((image.byte(mask_row + ux / 8) >> (7 - ux % 8) & 1u) != 0)
                alpha = 0;
            argb[static_cast<std::size_t>(y * width + x)] =
                (alpha << 24) | (image.byte(bgr + 2) << 16) | (image.byte(bgr + 1) << 8) |
                image.byte(bgr);
        }
    }
    return true;
}

} // namespace

bool sdl_win32_add_icon_resource(int resource_id, const unsigned char *ico, std::size_t size) {
    const Reader file{ico, size};
    if (ico == nullptr || !file.has(0, 6) || file.word(0) != 0 || file.word(2) != 1)
        return false;
    const unsigned count = file.word(4);
    int added = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        if (!file.has(entry, 16))
            return false;
        const std::size_t length = file.dword(entry + 8);
        const std::size_t offset = file.dword(entry + 12);
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> argb;
        // Images stored as PNG are skipped: Windows' 32 by 32 icons are bitmaps.
        if (file.has(offset, length) && decode_bitmap(file, offset, length, width, height, argb)) {
            sdl_win32_add_icon_image(resource_id, width, height, argb.data());
            ++added;
        }
    }
    return added > 0;
}

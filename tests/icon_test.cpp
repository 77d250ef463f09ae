// The committed icon as Windows will read it: one group of two 32 by 32 images, 16 and 256
// colours, each a DIB with its AND mask, showing the same picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> read_icon() {
    std::ifstream in(ICON_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned u16(const std::vector<unsigned char> &d, size_t at) {
    return d.at(at) | d.at(at + 1) << 8;
}
std::uint32_t u32(const std::vector<unsigned char> &d, size_t at) {
    return u16(d, at) | static_cast<std::uint32_t>(u16(d, at + 2)) << 16;
}

struct Image {
    int bits = 0;
    std::vector<std::uint32_t> rgb; // 32 x 32, bottom row first, as stored
    std::vector<bool> transparent;
    bool transparent_pixels_black = true;
};

// Checks one directory entry and its DIB, and decodes it.
Image decode(const std::vector<unsigned char> &d, size_t entry) {
    Image image;
    EXPECT_EQ(d.at(entry + 0), 32); // width
    EXPECT_EQ(d.at(entry + 1), 32); // height
    EXPECT_EQ(d.at(entry + 3), 0);  // reserved
    EXPECT_EQ(u16(d, entry + 4), 1u);
    image.bits = static_cast<int>(u16(d, entry + 6));
    const std::uint32_t bytes = u32(d, entry + 8), at = u32(d, entry + 12);
    EXPECT_LE(std::uint64_t{at} + bytes, d.size());

    const int colours = 1 << image.bits;
    const size_t palette = at + 40, xor_bits = palette + 4u * colours;
    const size_t xor_row = image.bits * 32 / 8, and_bits = xor_bits + xor_row * 32;
    EXPECT_EQ(u32(d, at), 40u);     // BITMAPINFOHEADER
    EXPECT_EQ(u32(d, at + 4), 32u); // width
    EXPECT_EQ(u32(d, at + 8), 64u); // colour bits and mask, stacked
    EXPECT_EQ(u16(d, at + 12), 1u); // planes
    EXPECT_EQ(u16(d, at + 14), static_cast<unsigned>(image.bits));
    EXPECT_EQ(u32(d, at + 16), 0u); // BI_RGB
    EXPECT_EQ(bytes, and_bits + 4 * 32 - at);
    for (size_t i = 0; i < 32 * 32; ++i) {
        const size_t x = i % 32, row = i / 32;
        const unsigned byte = d.at(xor_bits + row * xor_row + x * image.bits / 8);
        const unsigned index = image.bits == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 15);
        const size_t p = palette + 4 * index;
        image.rgb.push_back(d.at(p + 2) << 16 | d.at(p + 1) << 8 | d.at(p));
        const bool masked = d.at(and_bits + row * 4 + x / 8) & (0x80 >> (x % 8));
        image.transparent.push_back(masked);
        if (masked && image.rgb.back() != 0)
            image.transparent_pixels_black = false;
    }
    return image;
}

TEST(Icon, OneGroupOfTwo32By32ImagesOf16And256Colours) {
    const std::vector<unsigned char> d = read_icon();
    ASSERT_GE(d.size(), 6u + 2 * 16) << "cannot read " << ICON_FILE;
    EXPECT_EQ(u16(d, 0), 0u);
    EXPECT_EQ(u16(d, 2), 1u); // an icon, not a cursor
    ASSERT_EQ(u16(d, 4), 2u);
    EXPECT_EQ(d[6 + 2], 16); // colour count of the 16-colour entry
    EXPECT_EQ(d[6 + 16 + 2], 0);

    const Image small = decode(d, 6), large = decode(d, 6 + 16);
    EXPECT_EQ(small.bits, 4);
    EXPECT_EQ(large.bits, 8);
    // Images laid end to end after the directory, filling the file exactly.
    EXPECT_EQ(u32(d, 6 + 12), 6u + 2 * 16);
    EXPECT_EQ(u32(d, 6 + 16 + 12), u32(d, 6 + 12) + u32(d, 6 + 8));
    EXPECT_EQ(d.size(), u32(d, 6 + 16 + 12) + u32(d, 6 + 16 + 8));
}

TEST(Icon, BothImagesShowTheSamePictureOnATransparentEdge) {
    const std::vector<unsigned char> d = read_icon();
    ASSERT_GE(d.size(), 6u + 2 * 16) << "cannot read " << ICON_FILE;
    const Image small = decode(d, 6), large = decode(d, 6 + 16);
    EXPECT_EQ(small.transparent, large.transparent);
    // Black under the mask, so the screen shows through unchanged.
    EXPECT_TRUE(small.transparent_pixels_black);
    EXPECT_TRUE(large.transparent_pixels_black);
    // The corners are cut away; the centre is drawn.
    EXPECT_TRUE(small.transparent.front() && small.transparent.back());
    EXPECT_FALSE(small.transparent[16 * 32 + 16]);

    // Both carry the model's two sides: something pink and something green.
    for (const Image *image : {&small, &large}) {
        bool pink = false, green = false;
        std::set<std::uint32_t> colours;
        for (size_t i = 0; i < image->rgb.size(); ++i) {
            if (image->transparent[i])
                continue;
            const int r = image->rgb[i] >> 16, g = image->rgb[i] >> 8 & 255,
                      b = image->rgb[i] & 255;
            pink = pink || (r > g + 40 && r > b + 20);
            green = green || (g > r + 40 && g > b + 20);
            colours.insert(image->rgb[i]);
        }
        EXPECT_TRUE(pink && green) << image->bits << " bits";
        EXPECT_GT(colours.size(), image->bits == 8 ? 16u : 8u) << image->bits << " bits";
    }
}

} // namespace

// setup_palette: which formats get a palette, the colour ramp, the system colours a colour-index
// format keeps, and a palette that cannot be created.
#include "context/palette.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <string>
#include <vector>

namespace {

using win32_double::created_palette_entries;
using win32_double::script;

struct Rgb {
    int r, g, b;
};

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = ViewerState{};
        win32_double::reset();
    }

    static void describe(DWORD flags, BYTE type, BYTE colour_bits, BYTE red_bits, BYTE red_shift,
                         BYTE green_bits, BYTE green_shift, BYTE blue_bits, BYTE blue_shift) {
        PIXELFORMATDESCRIPTOR &pfd = script().described;
        pfd = PIXELFORMATDESCRIPTOR{};
        pfd.nSize = 40;
        pfd.nVersion = 1;
        pfd.dwFlags = flags;
        pfd.iPixelType = type;
        pfd.cColorBits = colour_bits;
        pfd.cRedBits = red_bits;
        pfd.cRedShift = red_shift;
        pfd.cGreenBits = green_bits;
        pfd.cGreenShift = green_shift;
        pfd.cBlueBits = blue_bits;
        pfd.cBlueShift = blue_shift;
    }

    // A system palette unlike any ramp, with flags set, so that what survives is visible.
    static void script_system_palette(int n) {
        for (int i = 0; i < n; ++i)
            script().system_palette.push_back(PALETTEENTRY{static_cast<BYTE>(10 + i),
                                                           static_cast<BYTE>(100 + i),
                                                           static_cast<BYTE>(200 - i), 0x04});
    }

    static void expect_entry(int index, Rgb rgb) {
        SCOPED_TRACE("entry " + std::to_string(index));
        const auto &entries = created_palette_entries();
        ASSERT_LT(static_cast<size_t>(index), entries.size());
        const PALETTEENTRY &e = entries[static_cast<size_t>(index)];
        EXPECT_EQ(e.peRed, rgb.r);
        EXPECT_EQ(e.peGreen, rgb.g);
        EXPECT_EQ(e.peBlue, rgb.b);
    }

    static void expect_all_flags_zero() {
        for (const PALETTEENTRY &e : created_palette_entries())
            ASSERT_EQ(e.peFlags, 0);
    }
};

TEST_F(PaletteTest, WorkedExampleOfAThreeThreeTwoFormat) {
    describe(PFD_NEED_PALETTE, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6);
    setup_palette(win32_double::device_context);

    const std::vector<std::string> expected = {
        "GetPixelFormat(dc)",
        "DescribePixelFormat(dc, 7, 40)",
        "GetSystemPaletteEntries(dc, 0, 256)",
        "CreatePalette(256)",
        "SelectPalette(dc, palette, 0)",
        "RealizePalette(dc)",
    };
    EXPECT_TRUE(same_sequence(expected, win32_double::log()));
    EXPECT_EQ(viewer.palette, win32_double::palette);
    EXPECT_EQ(win32_double::created_palette_version(), 0x300);
    ASSERT_EQ(created_palette_entries().size(), 256u);

    expect_entry(0, {0, 0, 0});
    expect_entry(1, {36, 0, 0});
    expect_entry(7, {255, 0, 0});
    expect_entry(8, {0, 36, 0});
    expect_entry(63, {255, 255, 0});
    expect_entry(64, {0, 0, 85});
    expect_entry(200, {0, 36, 255});
    expect_entry(255, {255, 255, 255});
    const int three_bit_levels[] = {0, 36, 72, 109, 145, 182, 218, 255};
    for (int level = 0; level < 8; ++level)
        expect_entry(level << 3, {0, three_bit_levels[level], 0});
    expect_all_flags_zero();
}

TEST_F(PaletteTest, ColourIndexWithoutChannelBitsKeepsTheSystemColours) {
    describe(0, PFD_TYPE_COLORINDEX, 4, 0, 0, 0, 0, 0, 0);
    script_system_palette(16);
    setup_palette(win32_double::device_context);

    ASSERT_EQ(created_palette_entries().size(), 16u);
    for (int i = 0; i < 16; ++i)
        expect_entry(i, {10 + i, 100 + i, 200 - i});
    expect_all_flags_zero();
    EXPECT_EQ(viewer.palette, win32_double::palette);
    EXPECT_EQ(win32_double::log().back(), "RealizePalette(dc)");
}

TEST_F(PaletteTest, ColourIndexWithChannelBitsGetsTheRamp) {
    describe(0, PFD_TYPE_COLORINDEX, 3, 1, 0, 1, 1, 1, 2);
    script_system_palette(8);
    setup_palette(win32_double::device_context);

    ASSERT_EQ(created_palette_entries().size(), 8u);
    expect_entry(0, {0, 0, 0});
    expect_entry(1, {255, 0, 0});
    expect_entry(2, {0, 255, 0});
    expect_entry(4, {0, 0, 255});
    expect_entry(7, {255, 255, 255});
    expect_all_flags_zero();
}

TEST_F(PaletteTest, AChannelWithoutBitsKeepsWhatTheSystemGave) {
    describe(0, PFD_TYPE_COLORINDEX, 2, 2, 0, 0, 0, 0, 0);
    script_system_palette(4);
    setup_palette(win32_double::device_context);

    const int two_bit_levels[] = {0, 85, 170, 255};
    for (int i = 0; i < 4; ++i)
        expect_entry(i, {two_bit_levels[i], 100 + i, 200 - i});
}

TEST_F(PaletteTest, CreatePaletteFailureLeavesNoPaletteAndSelectsNothing) {
    describe(PFD_NEED_PALETTE, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6);
    script().create_palette_fails = true;
    setup_palette(win32_double::device_context);

    EXPECT_EQ(viewer.palette, nullptr);
    EXPECT_EQ(win32_double::log().back(), "CreatePalette(256)");
    EXPECT_TRUE(same_sequence({}, win32_double::calls_named({"SelectPalette", "RealizePalette"})));
}

TEST_F(PaletteTest, AnRgbaFormatThatNeedsNoPaletteGetsNone) {
    // PFD_NEED_SYSTEM_PALETTE alone is not PFD_NEED_PALETTE.
    for (const DWORD flags : {DWORD{0x25}, DWORD{0x25 | PFD_NEED_SYSTEM_PALETTE}}) {
        SCOPED_TRACE(flags);
        win32_double::reset();
        describe(flags, PFD_TYPE_RGBA, 24, 8, 16, 8, 8, 8, 0);
        setup_palette(win32_double::device_context);
        EXPECT_TRUE(same_sequence({"GetPixelFormat(dc)", "DescribePixelFormat(dc, 7, 40)"},
                                  win32_double::log()));
        EXPECT_EQ(viewer.palette, nullptr);
    }
}

// palNumEntries is 16 bits wide: 15 colour bits is the most a palette can describe.
TEST_F(PaletteTest, MoreColourBitsThanAPaletteCanCountGetNoPalette) {
    describe(PFD_NEED_PALETTE, PFD_TYPE_RGBA, 15, 5, 10, 5, 5, 5, 0);
    setup_palette(win32_double::device_context);
    ASSERT_EQ(created_palette_entries().size(), 32768u);
    expect_entry(32767, {255, 255, 255});
    expect_entry(1, {0, 0, 8});

    win32_double::reset();
    viewer = ViewerState{};
    describe(PFD_NEED_PALETTE, PFD_TYPE_RGBA, 16, 5, 11, 6, 5, 5, 0);
    setup_palette(win32_double::device_context);
    EXPECT_EQ(viewer.palette, nullptr);
    EXPECT_TRUE(same_sequence({"GetPixelFormat(dc)", "DescribePixelFormat(dc, 7, 40)"},
                              win32_double::log()));
}

} // namespace

// Only palette-based displays need this; on an RGBA format it returns at once.
#include "context/palette.h"

#include "scene/viewer_state.h"

#include <cstdlib>

namespace {

// A channel's level i of mask+1 levels, spread evenly over 0..255 and rounded down.
BYTE ramp(int index, int shift, int mask) {
    return static_cast<BYTE>(((index >> shift) & mask) * 255 / mask);
}

} // namespace

void setup_palette(HDC dc) {
    PIXELFORMATDESCRIPTOR pfd = {};
    DescribePixelFormat(dc, GetPixelFormat(dc), sizeof(PIXELFORMATDESCRIPTOR), &pfd);
    if ((pfd.dwFlags & PFD_NEED_PALETTE) == 0 && pfd.iPixelType != PFD_TYPE_COLORINDEX)
        return;

    // palNumEntries is 16 bits wide: beyond 15 colour bits the count cannot be described.
    if (pfd.cColorBits > 15)
        return;
    const int n = 1 << pfd.cColorBits;
    // The record's declared size holds one entry already; one more is allocated than used.
    auto *log_palette =
        static_cast<LOGPALETTE *>(std::malloc(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY)));
    if (log_palette == nullptr)
        return;
    log_palette->palVersion = 0x300;
    log_palette->palNumEntries = static_cast<WORD>(n);
    PALETTEENTRY *entries = log_palette->palPalEntry;

    // A format without channel fields (colour index) keeps the system's own colours.
    GetSystemPaletteEntries(dc, 0, static_cast<UINT>(n), entries);
    const int red_mask = (1 << pfd.cRedBits) - 1;
    const int green_mask = (1 << pfd.cGreenBits) - 1;
    const int blue_mask = (1 << pfd.cBlueBits) - 1;
    for (int i = 0; i < n; ++i) {
        if (red_mask != 0)
            entries[i].peRed = ramp(i, pfd.cRedShift, red_mask);
        if (green_mask != 0)
            entries[i].peGreen = ramp(i, pfd.cGreenShift, green_mask);
        if (blue_mask != 0)
            entries[i].peBlue = ramp(i, pfd.cBlueShift, blue_mask);
        entries[i].peFlags = 0;
    }

    viewer.palette = CreatePalette(log_palette);
    std::free(log_palette);
    if (viewer.palette != nullptr) {
        SelectPalette(dc, viewer.palette, FALSE);
        RealizePalette(dc);
    }
}

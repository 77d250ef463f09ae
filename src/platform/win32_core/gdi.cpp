// Palettes and the pixel-format bookkeeping. The displays are true colour: palettes exist as
// objects and realising one maps no entries. There is one pixel format, made for the request by
// the layer's SetPixelFormat and described as its surface really is.
#include "platform/win32_core/rules.h"

#include <algorithm>
#include <utility>

using namespace win32_core;

namespace {

constexpr WORD palette_version = 0x300;

bool is_palette(HPALETTE palette) {
    const auto &palettes = state().palettes;
    return palette != nullptr &&
           std::find(palettes.begin(), palettes.end(), palette) != palettes.end();
}

BYTE byte(int value) {
    return static_cast<BYTE>(std::clamp(value, 0, 255));
}

} // namespace

// ==== Palettes ====

HPALETTE WINAPI CreatePalette(const LOGPALETTE *log_palette) {
    if (log_palette == nullptr || log_palette->palVersion != palette_version ||
        log_palette->palNumEntries == 0)
        return nullptr;
    state().palettes.push_back(new_handle<HPALETTE>());
    return state().palettes.back();
}

// The first selection answers null: there is no stock palette to give back.
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || !is_palette(palette))
        return nullptr;
    return std::exchange(window->palette, palette);
}

UINT WINAPI RealizePalette(HDC dc) {
    return window_of_dc(dc) == nullptr ? gdi_error : 0;
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object) {
    return is_palette(static_cast<HPALETTE>(object)) ? TRUE : FALSE;
}

UINT WINAPI GetSystemPaletteEntries(HDC, UINT, UINT, LPPALETTEENTRY) {
    return 0;
}

// ==== Pixel formats ====

Sizes win32_core::requested_sizes(const PIXELFORMATDESCRIPTOR &request) {
    Sizes sizes;
    const int channel = request.cColorBits >= 3 ? request.cColorBits / 3 : 1;
    sizes.red = request.cRedBits != 0 ? request.cRedBits : channel;
    sizes.green = request.cGreenBits != 0 ? request.cGreenBits : channel;
    sizes.blue = request.cBlueBits != 0 ? request.cBlueBits : channel;
    sizes.alpha = request.cAlphaBits;
    sizes.depth = request.cDepthBits;
    sizes.stencil = request.cStencilBits;
    return sizes;
}

// Channels packed as in a BGRA pixel: blue lowest, alpha highest.
PIXELFORMATDESCRIPTOR win32_core::describe(const Sizes &sizes) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (sizes.double_buffer)
        pfd.dwFlags |= PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = byte(sizes.red + sizes.green + sizes.blue);
    pfd.cRedBits = byte(sizes.red);
    pfd.cRedShift = byte(sizes.green + sizes.blue);
    pfd.cGreenBits = byte(sizes.green);
    pfd.cGreenShift = byte(sizes.blue);
    pfd.cBlueBits = byte(sizes.blue);
    pfd.cAlphaBits = byte(sizes.alpha);
    pfd.cAlphaShift = byte(sizes.alpha != 0 ? sizes.red + sizes.green + sizes.blue : 0);
    pfd.cDepthBits = byte(sizes.depth);
    pfd.cStencilBits = byte(sizes.stencil);
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

bool win32_core::format_to_set(Window *window, int format, BOOL &result) {
    result = FALSE;
    if (window == nullptr || format != only_format)
        return false;
    if (window->pixel_format != 0) {
        result = window->pixel_format == format ? TRUE : FALSE;
        return false;
    }
    return true;
}

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR *pfd) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || pfd == nullptr)
        return 0;
    if (pfd->iPixelType != PFD_TYPE_RGBA) {
        unsupported("ChoosePixelFormat", "a colour-index format");
        return 0;
    }
    if ((pfd->dwFlags & (PFD_STEREO | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI)) != 0 ||
        pfd->cAccumBits != 0 || pfd->cAuxBuffers != 0) {
        unsupported("ChoosePixelFormat",
                    "stereo, bitmaps, GDI drawing, accumulation or aux buffers");
        return 0;
    }
    window->requested = *pfd;
    return only_format;
}

int WINAPI GetPixelFormat(HDC dc) {
    const Window *window = window_of_dc(dc);
    return window == nullptr ? 0 : window->pixel_format;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
    const Window *window = window_of_dc(dc);
    if (window == nullptr)
        return 0;
    if (pfd == nullptr)
        return only_format; // the number of formats
    if (format != only_format || bytes < sizeof(PIXELFORMATDESCRIPTOR))
        return 0;
    // Before the format is set, what would be asked for; afterwards, what the surface has.
    *pfd =
        window->pixel_format != 0 ? window->format : describe(requested_sizes(window->requested));
    return only_format;
}

// Logical palettes. A canvas is true colour: palettes are kept as objects and realising one maps
// no entries.
#include "platform/web/state.h"

#include <algorithm>

using namespace web_layer;

namespace {

constexpr WORD palette_version = 0x300;

bool is_palette(HPALETTE palette) {
    const auto &palettes = state().palettes;
    return palette != nullptr &&
           std::find(palettes.begin(), palettes.end(), palette) != palettes.end();
}

} // namespace

HPALETTE WINAPI CreatePalette(const LOGPALETTE *log_palette) {
    if (log_palette == nullptr || log_palette->palVersion != palette_version ||
        log_palette->palNumEntries == 0)
        return nullptr;
    state().palettes.push_back(new_handle<HPALETTE>());
    return state().palettes.back();
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || !is_palette(palette))
        return nullptr;
    // The stock palette every device context starts with.
    if (window->palette == nullptr) {
        window->palette = new_handle<HPALETTE>();
        state().palettes.push_back(window->palette);
    }
    const HPALETTE previous = window->palette;
    window->palette = palette;
    return previous;
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

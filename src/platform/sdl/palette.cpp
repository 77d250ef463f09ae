// Logical palettes. These displays are true colour: there is no system palette to realise into,
// so palettes are kept as objects and realising one maps no entries.
#include "platform/sdl/state.h"

using namespace sdl_layer;

namespace {

constexpr WORD palette_version = 0x300;

// The stock palette every device context starts with.
HPALETTE default_palette() {
    if (state().default_palette == nullptr) {
        state().default_palette = new_handle<HPALETTE>();
        state().palettes[handle_key(state().default_palette)] = Palette{};
    }
    return state().default_palette;
}

bool is_palette(HPALETTE palette) {
    return palette != nullptr && state().palettes.count(handle_key(palette)) != 0;
}

} // namespace

HPALETTE WINAPI CreatePalette(const LOGPALETTE *log_palette) {
    if (log_palette == nullptr || log_palette->palVersion != palette_version ||
        log_palette->palNumEntries == 0)
        return nullptr;
    // The entries run on past the one that LOGPALETTE declares.
    const PALETTEENTRY *first = log_palette->palPalEntry;
    Palette palette;
    palette.entries.assign(first, first + log_palette->palNumEntries);
    const HPALETTE handle = new_handle<HPALETTE>();
    state().palettes[handle_key(handle)] = std::move(palette);
    return handle;
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || !is_palette(palette))
        return nullptr;
    const HPALETTE previous = window->palette != nullptr ? window->palette : default_palette();
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

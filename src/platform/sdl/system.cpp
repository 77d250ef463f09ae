// Screen metrics and the modal message box.
#include "platform/sdl/state.h"

#include <cstdio>

using namespace sdl_layer;

int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        unsupported("GetSystemMetrics", "a metric other than the screen size");
        return 0;
    }
    // Display 0 is the primary one, which is what Windows calls the screen.
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        std::fprintf(stderr, "helicoid: GetSystemMetrics: %s\n", SDL_GetError());
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (state().message_box_hook != nullptr)
        return state().message_box_hook(owner, text, caption, type);
    constexpr UINT mb_iconwarning = 0x30;
    constexpr UINT mb_iconinformation = 0x40;
    Uint32 flags = 0;
    switch (type) {
    case MB_OK:
        break;
    case MB_OK | MB_ICONERROR:
        flags = SDL_MESSAGEBOX_ERROR;
        break;
    case MB_OK | mb_iconwarning:
        flags = SDL_MESSAGEBOX_WARNING;
        break;
    case MB_OK | mb_iconinformation:
        flags = SDL_MESSAGEBOX_INFORMATION;
        break;
    default:
        unsupported("MessageBoxA", "a box with buttons other than OK or with options");
        return 0;
    }
    SDL_Window *parent = nullptr;
    if (owner != nullptr) {
        const Window *window = find_window(owner);
        if (window == nullptr)
            return 0; // ERROR_INVALID_WINDOW_HANDLE
        parent = window->sdl;
    }
    // SDL's box runs its own loop until dismissed, so the call is modal as on Windows; a null
    // caption is "Error" there.
    if (SDL_ShowSimpleMessageBox(flags, caption != nullptr ? caption : "Error",
                                 text != nullptr ? text : "", parent) != 0) {
        std::fprintf(stderr, "helicoid: MessageBoxA: %s\n", SDL_GetError());
        return 0;
    }
    // Closing an OK box by its frame also answers IDOK.
    return IDOK;
}

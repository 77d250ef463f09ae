// Windows as SDL windows: made late (X11 fixes a window's visual when it is made), shown, hidden,
// moved, raised, resized and destroyed for the shared Win32 rules.
#include "platform/sdl/state.h"

#include <algorithm>
#include <cstdio>

using namespace sdl_layer;

namespace {

constexpr DWORD ws_thickframe = 0x00040000L;

// Gives the window its SDL window if it has none yet; false (and a line on stderr) on failure.
bool realize(SdlWindow &window) {
    if (window.sdl != nullptr)
        return true;
    window.sdl = create_sdl_window(window, false);
    if (window.sdl == nullptr) {
        std::fprintf(stderr, "helicoid: the window could not be made: %s\n", SDL_GetError());
        return false;
    }
    apply_class_resources(window);
    return true;
}

bool maximized(SDL_Window *sdl) {
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_MAXIMIZED) != 0;
}

} // namespace

SdlWindow::~SdlWindow() {
    if (spare_context != nullptr)
        SDL_GL_DeleteContext(spare_context);
    if (sdl != nullptr) {
        if (SDL_GL_GetCurrentWindow() == sdl)
            SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_DestroyWindow(sdl);
    }
}

SDL_Window *sdl_layer::create_sdl_window(const Window &window, bool opengl) {
    Uint32 flags = window.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if ((window.style & ws_thickframe) != 0)
        flags |= SDL_WINDOW_RESIZABLE;
    if (opengl)
        flags |= SDL_WINDOW_OPENGL;
    // Win32 allows empty windows; SDL does not.
    return SDL_CreateWindow(window.title.c_str(), window.x, window.y, std::max(window.width, 1),
                            std::max(window.height, 1), flags);
}

// ==== The shared rules' window hooks ====

std::unique_ptr<Window> win32_core::platform::new_window() {
    return std::make_unique<SdlWindow>();
}

// The SDL window waits for SetPixelFormat or ShowWindow.
bool win32_core::platform::window_created(Window &) {
    return true;
}

bool win32_core::platform::show_surface(Window &base, int show) {
    auto &window = static_cast<SdlWindow &>(base);
    if (!realize(window))
        return false;
    if (!window.visible)
        SDL_ShowWindow(window.sdl);
    else if (show != SW_SHOW && (window.minimized || maximized(window.sdl)))
        SDL_RestoreWindow(window.sdl);
    return true;
}

void win32_core::platform::hide_surface(Window &base) {
    auto &window = static_cast<SdlWindow &>(base);
    if (window.sdl != nullptr)
        SDL_HideWindow(window.sdl);
}

// A window not yet shown has no SDL window: it is made later at the place and size kept.
bool win32_core::platform::move_surface(Window &base, int x, int y) {
    auto &window = static_cast<SdlWindow &>(base);
    if (window.sdl != nullptr)
        SDL_SetWindowPosition(window.sdl, x, y);
    return true;
}

void win32_core::platform::raise_surface(Window &base) {
    SDL_RaiseWindow(static_cast<SdlWindow &>(base).sdl);
}

void win32_core::platform::resize_surface(Window &base, int width, int height) {
    auto &window = static_cast<SdlWindow &>(base);
    if (window.sdl == nullptr)
        return;
    // SDL leaves a maximised window at the window manager's size.
    if (maximized(window.sdl))
        SDL_RestoreWindow(window.sdl);
    SDL_SetWindowSize(window.sdl, std::max(width, 1), std::max(height, 1));
}

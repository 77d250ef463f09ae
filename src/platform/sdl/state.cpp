// The layer's state and lookups, starting and stopping SDL's video, the screen's size, and the
// hooks for tests.
#include "platform/sdl/state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sdl_layer {

// ==== State and lookups ====

SdlState &sdl_state() {
    static SdlState the_state;
    return the_state;
}

SdlWindow *window_of_sdl_id(Uint32 sdl_window_id) {
    for (const auto &entry : shared_state().windows) {
        auto *window = static_cast<SdlWindow *>(entry.second.get());
        if (window->sdl != nullptr && SDL_GetWindowID(window->sdl) == sdl_window_id)
            return window;
    }
    return nullptr;
}

} // namespace sdl_layer

using namespace sdl_layer;

// ==== Starting and stopping ====

namespace {

bool is_display_driver(const char *name) {
    // SDL falls back to these when no display answers; they would show nothing.
    return name != nullptr && std::strcmp(name, "offscreen") != 0 &&
           std::strcmp(name, "dummy") != 0 && std::strcmp(name, "evdev") != 0;
}

bool init_video(const char *driver) {
    if (driver != nullptr)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    opening_display(driver != nullptr ? driver : SDL_GetHint(SDL_HINT_VIDEODRIVER));
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        display_opened(nullptr);
        return false;
    }
    if (is_display_driver(SDL_GetCurrentVideoDriver())) {
        display_opened(SDL_GetCurrentVideoDriver());
        return true;
    }
    display_opened(nullptr);
    SDL_SetError("SDL found only its \"%s\" driver", SDL_GetCurrentVideoDriver());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
}

// Without an explicit choice, only the display systems whose variables are set are tried, so a
// missing X server is reported as such instead of by a stray probe of another system.
bool open_display() {
    const char *chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen != nullptr && *chosen != '\0')
        return init_video(nullptr);
    const char *display = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    bool tried = false;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char *name = SDL_GetVideoDriver(i);
        if (!is_display_driver(name) || std::strcmp(name, "KMSDRM") == 0)
            continue;
        if (std::strcmp(name, "x11") == 0 && (display == nullptr || *display == '\0'))
            continue;
        if (std::strcmp(name, "wayland") == 0 && (wayland == nullptr || *wayland == '\0'))
            continue;
        tried = true;
        if (init_video(name))
            return true;
    }
    if (!tried)
        SDL_SetError("DISPLAY is not set");
    return false;
}

std::string display_name() {
    const char *display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        display = std::getenv("WAYLAND_DISPLAY");
    return display == nullptr ? std::string() : std::string(display);
}

} // namespace

bool sdl_win32_start(std::string &error) {
    if (sdl_state().started)
        return true;
    // A Windows GUI process dies of signals; SDL's handlers would turn them into close requests.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is WM_CLOSE for that window, not a second, application-wide request.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Only SetCapture captures the pointer, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // Windows delivers the click that activates a window.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A window, not a game: leave the compositor and the screen saver alone.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (!open_display()) {
        const std::string reason = SDL_GetError();
        SDL_Quit();
        const std::string name = display_name();
        error = "cannot open display";
        if (!name.empty())
            error += " \"" + name + "\"";
        error += ": " + reason;
        return false;
    }
    SDL_StartTextInput();
    sdl_state().started = true;
    return true;
}

void sdl_win32_stop() {
    SdlState &s = sdl_state();
    if (!s.started)
        return;
    while (!shared_state().windows.empty())
        DestroyWindow(shared_state().windows.begin()->second->handle);
    if (s.arrow != nullptr)
        SDL_FreeCursor(s.arrow);
    s.arrow = nullptr;
    display_closing();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
    s.started = false;
}

HINSTANCE sdl_win32_module() {
    return module_handle();
}

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

// ==== For tests and benchmarks ====

void sdl_win32_set_present_hook(void (*hook)()) {
    sdl_state().present_hook = hook;
}

void sdl_win32_set_message_box_hook(SdlWin32MessageBoxHook hook) {
    sdl_state().message_box_hook = hook;
}

void sdl_win32_set_tracer(SdlWin32Tracer tracer) {
    set_tracer(tracer);
}

SDL_Window *sdl_win32_sdl_window(HWND hwnd) {
    const SdlWindow *window = find_sdl_window(hwnd);
    return window == nullptr ? nullptr : window->sdl;
}

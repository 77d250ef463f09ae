// The window as a canvas in the page, for the shared Win32 rules: made with the window, shown,
// hidden and resized; the page places it, so it does not move.
#include "platform/web/state.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

using namespace web_layer;

namespace {

// CSS pixels for the page's layout, device pixels for what WebGL draws, so the picture is sharp.
void size_canvas(int width, int height) {
    const double ratio = emscripten_get_device_pixel_ratio();
    web_size_canvas(width, height);
    web_fit_canvas(std::max(1, static_cast<int>(std::lround(width * ratio))),
                   std::max(1, static_cast<int>(std::lround(height * ratio))));
}

} // namespace

std::unique_ptr<Window> win32_core::platform::new_window() {
    if (the_window() != nullptr) {
        unsupported("CreateWindowExA", "a second window");
        return nullptr;
    }
    return std::make_unique<WebWindow>();
}

// The canvas is made hidden, at the window's place.
bool win32_core::platform::window_created(Window &window) {
    web_create_canvas(canvas_id, window.x, window.y, on_pointer, on_screen_key);
    size_canvas(window.width, window.height);
    return true;
}

bool win32_core::platform::show_surface(Window &window, int) {
    if (!window.visible)
        web_show_canvas(1);
    return true;
}

void win32_core::platform::hide_surface(Window &) {
    web_show_canvas(0);
}

bool win32_core::platform::move_surface(Window &window, int x, int y) {
    if (x == window.x && y == window.y)
        return true;
    unsupported("SetWindowPos", "moving the window");
    return false;
}

void win32_core::platform::raise_surface(Window &) {}

void win32_core::platform::resize_surface(Window &window, int width, int height) {
    size_canvas(width, height);
    // Resizing a canvas clears it: everything is to be painted again.
    report::contents_lost(window.handle);
}

// ==== Time and waiting ====

std::uint64_t win32_core::platform::now_ms() {
    return static_cast<std::uint64_t>(web_now_ms());
}

// The page's events arrive through its handlers while the program waits, never in between.
void win32_core::platform::pump_events(bool) {}

// Hands the page its turn until an event arrives or the next timer is due.
void win32_core::platform::wait_for_events(int timeout_ms) {
    web_wait(timeout_ms);
}

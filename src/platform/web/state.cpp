// The layer's state, its lookups and diagnostics, and what is left to end after WinMain.
#include "platform/web/state.h"

#include <emscripten/html5_webgl.h>

#include <cstdio>

namespace web_layer {

State &state() {
    static State the_state;
    return the_state;
}

Window *find_window(HWND hwnd) {
    Window *window = state().window.get();
    return window != nullptr && hwnd != nullptr && window->handle == hwnd ? window : nullptr;
}

Window *window_of_dc(HDC dc) {
    Window *window = state().window.get();
    return window != nullptr && dc != nullptr && window->dc == dc ? window : nullptr;
}

void unsupported(const char *call, const char *what) {
    std::fprintf(stderr, "helicoid: %s: %s is not supported on this platform\n", call, what);
}

LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const Window *window = find_window(hwnd);
    if (window == nullptr)
        return 0;
    return window->window_class->proc(hwnd, message, wparam, lparam);
}

} // namespace web_layer

namespace {

// The module handle only has to be non-null and stable.
char module_tag;

} // namespace

HINSTANCE web_win32_module() {
    return reinterpret_cast<HINSTANCE>(&module_tag);
}

// A process that ends takes its window with it, without messages, as ExitProcess does.
void web_win32_stop() {
    using namespace web_layer;
    Window *window = state().window.get();
    if (window == nullptr)
        return;
    if (window->webgl != 0) {
        web_forget_framebuffer();
        emscripten_webgl_destroy_context(window->webgl);
    }
    web_remove_canvas();
    state().window.reset();
}

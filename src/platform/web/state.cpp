// The layer's state and lookups, the window's end, and what is left to end after WinMain.
#include "platform/web/state.h"

#include <emscripten/html5_webgl.h>

namespace web_layer {

WebState &web_state() {
    static WebState the_state;
    return the_state;
}

WebWindow *the_window() {
    const auto &windows = shared_state().windows;
    return windows.empty() ? nullptr : static_cast<WebWindow *>(windows.begin()->second.get());
}

WebWindow *find_web_window(HWND hwnd) {
    return static_cast<WebWindow *>(find_window(hwnd));
}

WebWindow *web_window_of_dc(HDC dc) {
    return static_cast<WebWindow *>(window_of_dc(dc));
}

WebWindow::~WebWindow() {
    if (webgl != 0) {
        web_forget_framebuffer();
        emscripten_webgl_destroy_context(webgl);
    }
    web_remove_canvas();
}

} // namespace web_layer

HINSTANCE web_win32_module() {
    return win32_core::module_handle();
}

// A process that ends takes its window with it, without messages, as ExitProcess does.
void web_win32_stop() {
    win32_core::report::process_ended();
}

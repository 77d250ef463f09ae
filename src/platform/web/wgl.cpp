// WGL over the canvas's WebGL context, and SwapBuffers, which gives the page its frame.
#include "platform/web/state.h"

#include "platform/gles/gl_subset.h"

#include <emscripten/html5_webgl.h>

using namespace web_layer;

HGLRC WINAPI wglCreateContext(HDC dc) {
    WebWindow *window = web_window_of_dc(dc);
    if (window == nullptr || window->pixel_format == 0)
        return nullptr; // ERROR_INVALID_PIXEL_FORMAT
    // A canvas has one WebGL context, so there is one rendering context to hand out.
    if (window->webgl_handed_out) {
        unsupported("wglCreateContext", "a second context on a window");
        return nullptr;
    }
    window->webgl_handed_out = true;
    web_state().gl_context = new_handle<HGLRC>();
    return web_state().gl_context;
}

// The viewer's OpenGL 1.1 calls reach WebGL through the subset, which follows the current context.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) { // releases the current context; the device context is ignored
        gl_subset_make_current(nullptr, nullptr);
        return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS ? TRUE : FALSE;
    }
    const WebWindow *window = web_window_of_dc(dc);
    if (context != web_state().gl_context || window == nullptr || window->webgl == 0)
        return FALSE;
    if (emscripten_webgl_make_context_current(window->webgl) != EMSCRIPTEN_RESULT_SUCCESS)
        return FALSE;
    return gl_subset_make_current(subset_key(window->webgl), webgl_function) ? TRUE : FALSE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (context == nullptr || context != web_state().gl_context)
        return FALSE;
    // Deleting the thread's current context releases it first, as WGL does.
    WebWindow *window = the_window();
    if (window != nullptr && emscripten_webgl_get_current_context() == window->webgl) {
        gl_subset_make_current(nullptr, nullptr);
        emscripten_webgl_make_context_current(0);
    }
    if (window != nullptr)
        gl_subset_forget(subset_key(window->webgl));
    web_state().gl_context = nullptr;
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    const WebWindow *window = web_window_of_dc(dc);
    if (window == nullptr || window->webgl == 0)
        return FALSE;
    // The browser presents the drawing buffer once the program has given the page its turn; the
    // next frame starts at the next animation frame, as after a swap synchronised to the display.
    web_present();
    web_frame_presented();
    web_next_frame();
    return TRUE;
}

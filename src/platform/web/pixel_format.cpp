// SetPixelFormat: the canvas's WebGL context made for the request and described as it really is.
#include "platform/web/state.h"

#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cstdio>

using namespace web_layer;

namespace {

// WebGL 1's names for the sizes of the current context's drawing buffer.
constexpr int gl_red_bits = 0x0D52;
constexpr int gl_green_bits = 0x0D53;
constexpr int gl_blue_bits = 0x0D54;
constexpr int gl_alpha_bits = 0x0D55;
constexpr int gl_depth_bits = 0x0D56;
constexpr int gl_stencil_bits = 0x0D57;

Sizes current_sizes() {
    Sizes sizes;
    sizes.red = web_gl_integer(gl_red_bits);
    sizes.green = web_gl_integer(gl_green_bits);
    sizes.blue = web_gl_integer(gl_blue_bits);
    sizes.alpha = web_gl_integer(gl_alpha_bits);
    sizes.depth = web_gl_integer(gl_depth_bits);
    sizes.stencil = web_gl_integer(gl_stencil_bits);
    return sizes;
}

} // namespace

// ==== SetPixelFormat ====

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *) {
    WebWindow *window = web_window_of_dc(dc);
    BOOL result = FALSE;
    if (!format_to_set(window, format, result))
        return result;

    const PIXELFORMATDESCRIPTOR &request = window->requested;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // A window is opaque: with alpha the page would show through the picture's alpha.
    attributes.alpha = request.cAlphaBits != 0 ? EM_TRUE : EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE; // swapped, not kept, as a double buffer
    // WebGL 2 first, drawing to a framebuffer of the depth asked for (the canvas needs none);
    // WebGL 1 draws to the canvas, whose depth the browser chooses.
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.majorVersion = 2;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvas_selector, &attributes);
    if (context <= 0) {
        attributes.depth = request.cDepthBits != 0 ? EM_TRUE : EM_FALSE;
        attributes.stencil = request.cStencilBits != 0 ? EM_TRUE : EM_FALSE;
        attributes.majorVersion = 1;
        context = emscripten_webgl_create_context(canvas_selector, &attributes);
    }
    if (context <= 0) {
        std::fprintf(stderr, "helicoid: SetPixelFormat: the page offers no WebGL (%d)\n",
                     static_cast<int>(context));
        return FALSE;
    }
    // Describing needs the context current; SetPixelFormat must not change the current one.
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE previous = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(context);
    // The backing store asked for, now within what this context can draw.
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(canvas_selector, &width, &height);
    web_fit_canvas(width, height);
    if (attributes.majorVersion == 2 &&
        web_make_framebuffer(request.cDepthBits, request.cStencilBits) == 0) {
        std::fprintf(stderr, "helicoid: SetPixelFormat: no framebuffer of %d depth bits\n",
                     request.cDepthBits);
        emscripten_webgl_make_context_current(previous);
        emscripten_webgl_destroy_context(context);
        return FALSE;
    }
    const Sizes sizes = current_sizes();
    emscripten_webgl_make_context_current(previous);
    window->webgl = context;
    report::pixel_format_set(window->handle, format, sizes);
    listen_to_context_loss();
    return TRUE;
}

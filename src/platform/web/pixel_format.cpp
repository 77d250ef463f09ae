// Pixel formats: the one format the page offers, the canvas's WebGL context made for the request
// and described as it really is.
#include "platform/web/state.h"

#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cstdio>

using namespace web_layer;

namespace {

constexpr int only_format = 1;

BYTE byte(int value) {
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// WebGL 1's names for the sizes of the current context's drawing buffer.
constexpr int gl_red_bits = 0x0D52;
constexpr int gl_green_bits = 0x0D53;
constexpr int gl_blue_bits = 0x0D54;
constexpr int gl_alpha_bits = 0x0D55;
constexpr int gl_depth_bits = 0x0D56;
constexpr int gl_stencil_bits = 0x0D57;

// Channels packed as in a BGRA pixel: blue lowest, alpha highest.
PIXELFORMATDESCRIPTOR describe_current() {
    const int red = web_gl_integer(gl_red_bits);
    const int green = web_gl_integer(gl_green_bits);
    const int blue = web_gl_integer(gl_blue_bits);
    const int alpha = web_gl_integer(gl_alpha_bits);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = byte(red + green + blue);
    pfd.cRedBits = byte(red);
    pfd.cRedShift = byte(green + blue);
    pfd.cGreenBits = byte(green);
    pfd.cGreenShift = byte(blue);
    pfd.cBlueBits = byte(blue);
    pfd.cAlphaBits = byte(alpha);
    pfd.cAlphaShift = byte(alpha != 0 ? red + green + blue : 0);
    pfd.cDepthBits = byte(web_gl_integer(gl_depth_bits));
    pfd.cStencilBits = byte(web_gl_integer(gl_stencil_bits));
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

// ==== Pixel format calls ====

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR *pfd) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || pfd == nullptr)
        return 0;
    if (pfd->iPixelType != PFD_TYPE_RGBA) {
        unsupported("ChoosePixelFormat", "a colour-index format");
        return 0;
    }
    if ((pfd->dwFlags & (PFD_STEREO | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI)) != 0 ||
        pfd->cAccumBits != 0 || pfd->cAuxBuffers != 0) {
        unsupported("ChoosePixelFormat",
                    "stereo, bitmaps, GDI drawing, accumulation or aux buffers");
        return 0;
    }
    window->requested = *pfd;
    return only_format;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *) {
    Window *window = window_of_dc(dc);
    if (window == nullptr || format != only_format)
        return FALSE;
    // A window's format is set once; setting the same one again is harmless.
    if (window->pixel_format != 0)
        return window->pixel_format == format ? TRUE : FALSE;

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
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(canvas_selector, &width, &height);
    if (attributes.majorVersion == 2 &&
        web_make_framebuffer(request.cDepthBits, request.cStencilBits, width, height) == 0) {
        std::fprintf(stderr, "helicoid: SetPixelFormat: no framebuffer of %d depth bits\n",
                     request.cDepthBits);
        emscripten_webgl_make_context_current(previous);
        emscripten_webgl_destroy_context(context);
        return FALSE;
    }
    window->format = describe_current();
    emscripten_webgl_make_context_current(previous);
    window->webgl = context;
    window->pixel_format = format;
    return TRUE;
}

int WINAPI GetPixelFormat(HDC dc) {
    const Window *window = window_of_dc(dc);
    return window == nullptr ? 0 : window->pixel_format;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
    const Window *window = window_of_dc(dc);
    if (window == nullptr)
        return 0;
    if (pfd == nullptr)
        return only_format; // the number of formats
    if (format != only_format || bytes < sizeof(PIXELFORMATDESCRIPTOR))
        return 0;
    if (window->pixel_format == 0) {
        unsupported("DescribePixelFormat", "describing a format before it is set");
        return 0;
    }
    *pfd = window->format;
    return only_format;
}

// Pixel formats: the one format this platform offers, made for the request and described as the
// GL surface really has it.
#include "platform/sdl/gl_binding.h"
#include "platform/sdl/state.h"

#include <cstdio>

using namespace sdl_layer;

namespace {

constexpr int only_format = 1;

// ==== Sizes, attributes and descriptions ====

struct Sizes {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    int depth = 0;
    int stencil = 0;
    int accum_red = 0;
    int accum_green = 0;
    int accum_blue = 0;
    int accum_alpha = 0;
    bool double_buffer = true;
};

// ChoosePixelFormat treats the request's sizes as minimums; so does SDL's visual choice.
Sizes requested_sizes(const PIXELFORMATDESCRIPTOR &request) {
    Sizes sizes;
    const int channel = request.cColorBits >= 3 ? request.cColorBits / 3 : 1;
    sizes.red = request.cRedBits != 0 ? request.cRedBits : channel;
    sizes.green = request.cGreenBits != 0 ? request.cGreenBits : channel;
    sizes.blue = request.cBlueBits != 0 ? request.cBlueBits : channel;
    sizes.alpha = request.cAlphaBits;
    sizes.depth = request.cDepthBits;
    sizes.stencil = request.cStencilBits;
    const bool per_channel = request.cAccumRedBits != 0 || request.cAccumGreenBits != 0 ||
                             request.cAccumBlueBits != 0 || request.cAccumAlphaBits != 0;
    const int accum = request.cAccumBits / 4;
    sizes.accum_red = per_channel ? request.cAccumRedBits : accum;
    sizes.accum_green = per_channel ? request.cAccumGreenBits : accum;
    sizes.accum_blue = per_channel ? request.cAccumBlueBits : accum;
    sizes.accum_alpha = per_channel ? request.cAccumAlphaBits : accum;
    return sizes;
}

void set_gl_attributes(const Sizes &sizes) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sizes.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sizes.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sizes.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, sizes.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, sizes.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, sizes.stencil);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, sizes.accum_red);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, sizes.accum_green);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, sizes.accum_blue);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, sizes.accum_alpha);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The viewer draws with the fixed-function pipeline, which a core profile lacks. macOS offers
    // it only in its legacy 2.1 context; elsewhere a compatibility profile of any version does.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
#ifdef __APPLE__
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
#endif
    request_gl_context_kind(); // ES 2.0 when the viewer draws through our OpenGL 1.1 subset
}

int current_gl_size(SDL_GLattr attribute) {
    int value = 0;
    // SDL asks the framebuffer, which answers an absent buffer (no stencil) with an error.
    return SDL_GL_GetAttribute(attribute, &value) == 0 ? value : 0;
}

Sizes current_gl_sizes() {
    Sizes sizes;
    sizes.red = current_gl_size(SDL_GL_RED_SIZE);
    sizes.green = current_gl_size(SDL_GL_GREEN_SIZE);
    sizes.blue = current_gl_size(SDL_GL_BLUE_SIZE);
    sizes.alpha = current_gl_size(SDL_GL_ALPHA_SIZE);
    sizes.depth = current_gl_size(SDL_GL_DEPTH_SIZE);
    sizes.stencil = current_gl_size(SDL_GL_STENCIL_SIZE);
    sizes.accum_red = current_gl_size(SDL_GL_ACCUM_RED_SIZE);
    sizes.accum_green = current_gl_size(SDL_GL_ACCUM_GREEN_SIZE);
    sizes.accum_blue = current_gl_size(SDL_GL_ACCUM_BLUE_SIZE);
    sizes.accum_alpha = current_gl_size(SDL_GL_ACCUM_ALPHA_SIZE);
    sizes.double_buffer = current_gl_size(SDL_GL_DOUBLEBUFFER) != 0;
    return sizes;
}

BYTE byte(int value) {
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Channels packed as in a BGRA pixel: blue lowest, alpha highest.
PIXELFORMATDESCRIPTOR describe(const Sizes &sizes) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (sizes.double_buffer)
        pfd.dwFlags |= PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = byte(sizes.red + sizes.green + sizes.blue);
    pfd.cRedBits = byte(sizes.red);
    pfd.cRedShift = byte(sizes.green + sizes.blue);
    pfd.cGreenBits = byte(sizes.green);
    pfd.cGreenShift = byte(sizes.blue);
    pfd.cBlueBits = byte(sizes.blue);
    pfd.cBlueShift = 0;
    pfd.cAlphaBits = byte(sizes.alpha);
    pfd.cAlphaShift = byte(sizes.alpha != 0 ? sizes.red + sizes.green + sizes.blue : 0);
    pfd.cAccumBits =
        byte(sizes.accum_red + sizes.accum_green + sizes.accum_blue + sizes.accum_alpha);
    pfd.cAccumRedBits = byte(sizes.accum_red);
    pfd.cAccumGreenBits = byte(sizes.accum_green);
    pfd.cAccumBlueBits = byte(sizes.accum_blue);
    pfd.cAccumAlphaBits = byte(sizes.accum_alpha);
    pfd.cDepthBits = byte(sizes.depth);
    pfd.cStencilBits = byte(sizes.stencil);
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
    if ((pfd->dwFlags & (PFD_STEREO | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI)) != 0) {
        unsupported("ChoosePixelFormat", "stereo, drawing to bitmaps or GDI drawing");
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

    // X11 fixes a window's visual when it is made: the SDL window is made now, for this format,
    // or made anew if ShowWindow already made one.
    set_gl_attributes(requested_sizes(window->requested));
    SDL_Window *remade = create_sdl_window(*window, true);
    if (remade == nullptr) {
        std::fprintf(stderr, "helicoid: SetPixelFormat: %s\n", SDL_GetError());
        return FALSE;
    }
    // A context on the new surface tells what the format really is; SetPixelFormat must not
    // change the current context, so the previous one comes back.
    SDL_Window *previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_GLContext probe = SDL_GL_CreateContext(remade);
    if (probe == nullptr) {
        std::fprintf(stderr, "helicoid: SetPixelFormat: %s\n", SDL_GetError());
        SDL_GL_MakeCurrent(previous_window, previous_context);
        SDL_DestroyWindow(remade);
        return FALSE;
    }
    const Sizes got = current_gl_sizes();
    SDL_GL_MakeCurrent(previous_window, previous_context);

    if (window->sdl != nullptr)
        SDL_DestroyWindow(window->sdl);
    window->sdl = remade;
    apply_class_resources(*window);
    if (window->visible)
        window->invalid = true;
    window->pixel_format = format;
    window->format = describe(got);
    window->spare_context = probe;
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
    // Before the format is set, what would be asked for; afterwards, what the surface has.
    *pfd =
        window->pixel_format != 0 ? window->format : describe(requested_sizes(window->requested));
    return only_format;
}

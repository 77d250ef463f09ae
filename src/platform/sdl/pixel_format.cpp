// SetPixelFormat: the GL surface made for the request, with exactly the depth asked for where the
// display offers it, and described as it really is.
#include "platform/sdl/gl_binding.h"
#include "platform/sdl/state.h"

#include <cstdio>
#include <string>

using namespace sdl_layer;

namespace {

void set_gl_attributes(const Sizes &sizes) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sizes.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sizes.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sizes.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, sizes.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, sizes.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, sizes.stencil);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The viewer draws with the fixed-function pipeline, which a core profile lacks. Version 2.1
    // with no profile makes SDL create a legacy context: a compatibility context everywhere, the
    // only one with fixed function on macOS, and under GLX made from the window's own visual, so
    // that the context's depth buffer is the one the window's visual was chosen for. (With a
    // profile, SDL takes GLX's first configuration, the deepest, whatever the window's visual.)
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
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
    sizes.double_buffer = current_gl_size(SDL_GL_DOUBLEBUFFER) != 0;
    return sizes;
}

// An SDL window for a format, with the context that tells what the surface really has.
struct Surface {
    SDL_Window *window = nullptr;
    SDL_GLContext context = nullptr;
    Sizes sizes;
};

void free_surface(const Surface &surface) {
    if (surface.context != nullptr)
        SDL_GL_DeleteContext(surface.context);
    if (surface.window != nullptr)
        SDL_DestroyWindow(surface.window);
}

// Leaves the current context as it was: SetPixelFormat must not change it. A surface without a
// context is a failure, already reported.
Surface make_surface(const Window &window) {
    Surface made;
    made.window = create_sdl_window(window, true);
    SDL_Window *previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    if (made.window != nullptr)
        made.context = SDL_GL_CreateContext(made.window);
    if (made.context == nullptr)
        std::fprintf(stderr, "helicoid: SetPixelFormat: %s\n", SDL_GetError());
    else
        made.sizes = current_gl_sizes();
    SDL_GL_MakeCurrent(previous_window, previous_context);
    return made;
}

// GLX and EGL prefer the deepest depth buffer; Windows gives the size asked for when it has it,
// and the depth bits decide which of two coincident faces shows. So when the first surface is
// deeper, the window is made again with the visual of a configuration of the exact size.
Surface make_surface_exact_depth(const Window &window, const Sizes &asked) {
    Surface made = make_surface(window);
    if (made.context == nullptr || made.sizes.depth == asked.depth || asked.depth == 0)
        return made;
    const char *forced = SDL_GetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
    const unsigned long visual =
        forced != nullptr && forced[0] != '\0' ? 0 : exact_depth_visual(made.window, asked);
    if (visual != 0) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(visual).c_str());
        const Surface exact = make_surface(window);
        SDL_ResetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
        if (exact.context != nullptr && exact.sizes.depth == asked.depth) {
            free_surface(made);
            return exact;
        }
        free_surface(exact);
    }
    static bool said = false;
    if (!said) {
        std::fprintf(stderr,
                     "helicoid: SetPixelFormat: no %d-bit depth buffer is offered here; drawing "
                     "with %d bits\n",
                     asked.depth, made.sizes.depth);
        said = true;
    }
    return made;
}

} // namespace

// ==== SetPixelFormat ====

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *) {
    SdlWindow *window = sdl_window_of_dc(dc);
    BOOL result = FALSE;
    if (!format_to_set(window, format, result))
        return result;

    // X11 fixes a window's visual when it is made: the SDL window is made now, for this format,
    // or made anew if ShowWindow already made one.
    const Sizes asked = requested_sizes(window->requested);
    set_gl_attributes(asked);
    const Surface made = make_surface_exact_depth(*window, asked);
    if (made.context == nullptr) {
        free_surface(made);
        return FALSE;
    }

    if (window->sdl != nullptr)
        SDL_DestroyWindow(window->sdl);
    window->sdl = made.window;
    apply_class_resources(*window);
    window->spare_context = made.context;
    report::pixel_format_set(window->handle, format, made.sizes);
    return TRUE;
}

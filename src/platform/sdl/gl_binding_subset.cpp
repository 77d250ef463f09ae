// The viewer's OpenGL 1.1 calls go to our subset, which draws on an ES 2.0 context.
#include "platform/gles/gl_subset.h"
#include "platform/sdl/gl_binding.h"

namespace sdl_layer {

void request_gl_context_kind() {
    // On X11, SDL makes an ES context through GLX from glXChooseFBConfig's first, deepest
    // configuration, whatever the window's visual; through EGL it takes the configuration with
    // the fewest bits beyond those asked for, depth included. SDL reads the hint when it loads
    // the GL library, that is for the first OpenGL window.
    SDL_SetHint(SDL_HINT_OPENGL_ES_DRIVER, "1");
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
}

bool bind_gl_context(SDL_GLContext context) {
    return gl_subset_make_current(context, SDL_GL_GetProcAddress);
}

void forget_gl_context(SDL_GLContext context) {
    gl_subset_forget(context);
}

} // namespace sdl_layer

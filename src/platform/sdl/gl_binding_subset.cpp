// The viewer's OpenGL 1.1 calls go to our subset, which draws on an ES 2.0 context.
#include "platform/gles/gl_subset.h"
#include "platform/sdl/gl_binding.h"

namespace sdl_layer {

void request_gl_context_kind() {
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

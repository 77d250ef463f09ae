// The viewer's OpenGL calls go to the context itself: nothing to bind.
#include "platform/sdl/gl_binding.h"

namespace sdl_layer {

void request_gl_context_kind() {}

bool bind_gl_context(SDL_GLContext) {
    return true;
}

void forget_gl_context(SDL_GLContext) {}

} // namespace sdl_layer

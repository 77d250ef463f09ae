// Which OpenGL the viewer's calls reach: the context's own (the system's libGL) or our OpenGL
// 1.1 subset over an ES 2.0 context. CMake links one of gl_binding_native.cpp and
// gl_binding_subset.cpp.
#pragma once

#include <SDL.h>

namespace sdl_layer {

// Asks SDL for the kind of context the viewer's calls need; after the pixel format's attributes.
void request_gl_context_kind();

// Follows SDL_GL_MakeCurrent (context null: none current); false when the context cannot serve.
bool bind_gl_context(SDL_GLContext context);

// Before SDL_GL_DeleteContext.
void forget_gl_context(SDL_GLContext context);

} // namespace sdl_layer

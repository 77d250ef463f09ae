// The one ES program that evaluates OpenGL 1.1's fixed-function equations as the subset uses
// them: transform, per-vertex two-sided lighting, texture environment and fog.
#pragma once

#include "platform/gles/state.h"

namespace gl_subset {

// Attribute slots of Vertex's fields.
constexpr GLuint position_slot = 0;
constexpr GLuint normal_slot = 1;
constexpr GLuint facing_slot = 2;

// Compiles and links the program and finds its uniforms; false after one line on stderr.
bool build_program(Context &context);

} // namespace gl_subset

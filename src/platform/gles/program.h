// The ES programs that evaluate OpenGL 1.1's fixed-function equations as the subset uses them:
// transform, per-vertex two-sided lighting, texture environment and fog. One program is
// generated per combination of the state that shapes them (lights on, their number, edges as
// lines, texture environment, fog), so each runs without branching on that state; llvmpipe, for
// one, pays for every uniform branch and dynamic array index.
#pragma once

#include "platform/gles/state.h"

namespace gl_subset {

// Attribute slots of Vertex's fields.
constexpr GLuint position_slot = 0;
constexpr GLuint normal_slot = 1;
constexpr GLuint facing_slot = 2;

struct ProgramKey {
    bool lighting = false;
    int lights = 0; // enabled, 1 to max_lights when lighting
    bool lines = false;
    int texture = 0; // 0 off, 1 GL_MODULATE, 2 GL_REPLACE
    bool fog = false;
    unsigned code() const;
};

// The program for key, built on first use; null after one line on stderr if it does not build.
const Program *program_for(Context &context, const ProgramKey &key);

} // namespace gl_subset

// Drawing one batch: the subset's state goes to the program as uniforms, the vertices to the
// buffer in one upload, then one glDrawArrays.
#pragma once

#include "platform/gles/state.h"

namespace gl_subset {

// primitive is GL_TRIANGLES, or GL_LINES for edges that carry their polygon's facing.
void draw_batch(Context &context, GLenum primitive, const std::vector<Vertex> &vertices);

} // namespace gl_subset

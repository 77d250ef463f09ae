// Fog parameters; the program blends per fragment by the eye-space depth, always by GL_EXP2.
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

extern "C" {

void glFogi(GLenum pname, GLint param) {
    Context *c = ready("glFogi");
    if (c != nullptr && (pname != GL_FOG_MODE || param != GL_EXP2))
        report("glFogi", "pname or mode", pname == GL_FOG_MODE ? param : pname);
}

void glFogf(GLenum pname, GLfloat param) {
    Context *c = ready("glFogf");
    if (c == nullptr)
        return;
    if (pname != GL_FOG_DENSITY || !(param >= 0)) {
        report("glFogf", "pname or a negative density", pname);
        return;
    }
    c->fog_density = param;
}

void glFogfv(GLenum pname, const GLfloat *params) {
    Context *c = ready("glFogfv");
    if (c == nullptr)
        return;
    if (pname != GL_FOG_COLOR) {
        report("glFogfv", "pname", pname);
        return;
    }
    std::memcpy(c->fog_colour, params, sizeof c->fog_colour);
}

} // extern "C"

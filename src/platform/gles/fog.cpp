// Fog parameters; the program blends per fragment by the eye-space depth.
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

extern "C" {

void glFogf(GLenum pname, GLfloat param) {
    Context *c = ready("glFogf");
    if (c == nullptr)
        return;
    switch (pname) {
    case GL_FOG_MODE:
        glFogi(pname, static_cast<GLint>(param));
        return;
    case GL_FOG_DENSITY:
        if (param < 0) {
            report("glFogf", "a negative GL_FOG_DENSITY");
            return;
        }
        c->fog_density = param;
        return;
    case GL_FOG_START:
        c->fog_start = param;
        return;
    case GL_FOG_END:
        c->fog_end = param;
        return;
    default:
        report("glFogf", "pname", pname);
    }
}

void glFogi(GLenum pname, GLint param) {
    Context *c = ready("glFogi");
    if (c == nullptr)
        return;
    if (pname != GL_FOG_MODE) {
        glFogf(pname, static_cast<GLfloat>(param));
        return;
    }
    const auto mode = static_cast<GLenum>(param);
    if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) {
        report("glFogi", "GL_FOG_MODE", mode);
        return;
    }
    c->fog_mode = mode;
}

void glFogfv(GLenum pname, const GLfloat *params) {
    Context *c = ready("glFogfv");
    if (c == nullptr)
        return;
    if (pname == GL_FOG_COLOR)
        std::memcpy(c->fog_colour, params, sizeof c->fog_colour);
    else
        glFogf(pname, params[0]);
}

} // extern "C"

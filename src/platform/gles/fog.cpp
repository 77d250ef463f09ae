// Fog parameters; the program blends per fragment by the eye-space depth.
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

namespace {

void set_fog(const char *call, GLenum pname, GLfloat value) {
    Context *c = ready(call);
    if (c == nullptr)
        return;
    switch (pname) {
    case GL_FOG_MODE: {
        const auto mode = static_cast<GLenum>(value);
        if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) {
            report(call, "GL_FOG_MODE", mode);
            return;
        }
        c->fog_mode = mode;
        return;
    }
    case GL_FOG_DENSITY:
        if (!(value >= 0)) {
            report(call, "a negative GL_FOG_DENSITY");
            return;
        }
        c->fog_density = value;
        return;
    case GL_FOG_START:
        c->fog_start = value;
        return;
    case GL_FOG_END:
        c->fog_end = value;
        return;
    default:
        report(call, "pname", pname);
    }
}

} // namespace

extern "C" {

void glFogi(GLenum pname, GLint param) {
    set_fog("glFogi", pname, static_cast<GLfloat>(param));
}

void glFogf(GLenum pname, GLfloat param) {
    set_fog("glFogf", pname, param);
}

void glFogfv(GLenum pname, const GLfloat *params) {
    if (pname != GL_FOG_COLOR) {
        set_fog("glFogfv", pname, params[0]);
        return;
    }
    if (Context *c = ready("glFogfv"))
        std::memcpy(c->fog_colour, params, sizeof c->fog_colour);
}

} // extern "C"

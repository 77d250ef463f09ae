// Lights, the light model and materials: stored here, evaluated per vertex by the program.
#include "platform/gles/matrix_math.h"
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

namespace {

// The face is GL_FRONT or GL_BACK: the viewer gives each side its own values.
Material *material(const char *call, GLenum face) {
    Context *c = ready(call);
    if (c == nullptr)
        return nullptr;
    if (face != GL_FRONT && face != GL_BACK) {
        report(call, "face", face);
        return nullptr;
    }
    return &c->materials[face == GL_FRONT ? 0 : 1];
}

} // namespace

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat *params) {
    Context *c = ready("glLightfv");
    if (c == nullptr)
        return;
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + max_lights) {
        report("glLightfv", "light", light);
        return;
    }
    Light &l = c->lights[light - GL_LIGHT0];
    switch (pname) {
    case GL_AMBIENT:
        std::memcpy(l.ambient, params, sizeof l.ambient);
        break;
    case GL_DIFFUSE:
        std::memcpy(l.diffuse, params, sizeof l.diffuse);
        break;
    case GL_SPECULAR:
        std::memcpy(l.specular, params, sizeof l.specular);
        break;
    case GL_POSITION:
        // Only directional lights: a light at a point needs attenuation and a per-vertex
        // direction, which nothing here asks for.
        if (params[3] != 0) {
            report("glLightfv", "GL_POSITION with w other than 0");
            return;
        }
        // In eye coordinates, under the modelview matrix in force now.
        transform(l.eye_position, c->modelview.top().m, params);
        break;
    default:
        report("glLightfv", "pname", pname);
    }
}

void glLightModeli(GLenum pname, GLint param) {
    Context *c = ready("glLightModeli");
    if (c == nullptr)
        return;
    // Lighting is always two-sided: one-sided lighting would be a path of its own that the
    // viewer never takes.
    if (pname != GL_LIGHT_MODEL_TWO_SIDE || param != 1)
        report("glLightModeli", "pname or value", pname == GL_LIGHT_MODEL_TWO_SIDE ? param : pname);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params) {
    Material *m = material("glMaterialfv", face);
    if (m == nullptr)
        return;
    float *value = pname == GL_AMBIENT    ? m->ambient
                   : pname == GL_DIFFUSE  ? m->diffuse
                   : pname == GL_SPECULAR ? m->specular
                                          : nullptr;
    if (value == nullptr) {
        report("glMaterialfv", "pname", pname);
        return;
    }
    std::memcpy(value, params, sizeof m->ambient);
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) {
    Material *m = material("glMaterialf", face);
    if (m == nullptr)
        return;
    if (pname != GL_SHININESS || !(param >= 0 && param <= 128)) {
        report("glMaterialf", "pname or a shininess outside 0 to 128", pname);
        return;
    }
    m->shininess = param;
}

} // extern "C"

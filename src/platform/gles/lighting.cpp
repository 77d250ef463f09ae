// Lights, the light model and materials: stored here, evaluated per vertex by the program.
#include "platform/gles/matrix_math.h"
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

namespace {

void set_material(const char *call, GLenum face, GLenum pname, const GLfloat *params) {
    Context *c = ready(call);
    if (c == nullptr)
        return;
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        report(call, "face", face);
        return;
    }
    if (pname != GL_AMBIENT && pname != GL_DIFFUSE && pname != GL_SPECULAR &&
        pname != GL_EMISSION && pname != GL_AMBIENT_AND_DIFFUSE && pname != GL_SHININESS) {
        report(call, "pname", pname);
        return;
    }
    if (pname == GL_SHININESS && !(params[0] >= 0 && params[0] <= 128)) {
        report(call, "GL_SHININESS outside 0 to 128");
        return;
    }
    for (int side = 0; side < 2; ++side) {
        if ((side == 0 && face == GL_BACK) || (side == 1 && face == GL_FRONT))
            continue;
        Material &m = c->materials[side];
        if (pname == GL_AMBIENT || pname == GL_AMBIENT_AND_DIFFUSE)
            std::memcpy(m.ambient, params, sizeof m.ambient);
        if (pname == GL_DIFFUSE || pname == GL_AMBIENT_AND_DIFFUSE)
            std::memcpy(m.diffuse, params, sizeof m.diffuse);
        if (pname == GL_SPECULAR)
            std::memcpy(m.specular, params, sizeof m.specular);
        if (pname == GL_EMISSION)
            std::memcpy(m.emission, params, sizeof m.emission);
        if (pname == GL_SHININESS)
            m.shininess = params[0];
    }
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
    if (pname != GL_LIGHT_MODEL_TWO_SIDE) {
        report("glLightModeli", "pname", pname);
        return;
    }
    c->two_side = param != 0;
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat *params) {
    set_material("glMaterialfv", face, pname, params);
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) {
    if (pname != GL_SHININESS) {
        report("glMaterialf", "pname", pname);
        return;
    }
    set_material("glMaterialf", face, pname, &param);
}

} // extern "C"

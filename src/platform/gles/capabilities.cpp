// Capabilities, polygon mode and the framebuffer calls. What ES shares with OpenGL 1.1 (depth
// test, culling, clearing, reading pixels) goes straight through; the rest is the subset's state.
#include "platform/gles/state.h"

#include <algorithm>

using namespace gl_subset;

namespace {

void set_capability(const char *call, GLenum cap, bool on) {
    Context *c = ready(call);
    if (c == nullptr)
        return;
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + max_lights) {
        c->lights[cap - GL_LIGHT0].enabled = on;
        return;
    }
    switch (cap) {
    case GL_LIGHTING:
        c->lighting = on;
        return;
    case GL_FOG:
        c->fog = on;
        return;
    case GL_TEXTURE_2D:
        c->texturing = on;
        return;
    case GL_CULL_FACE:
        c->cull_face = on;
        break;
    case GL_DEPTH_TEST:
        c->depth_test = on;
        break;
    default:
        report(call, "capability", cap);
        return;
    }
    if (on)
        c->es.Enable(cap);
    else
        c->es.Disable(cap);
}

} // namespace

extern "C" {

void glEnable(GLenum cap) {
    set_capability("glEnable", cap, true);
}

void glDisable(GLenum cap) {
    set_capability("glDisable", cap, false);
}

void glPolygonMode(GLenum face, GLenum mode) {
    Context *c = ready("glPolygonMode");
    if (c == nullptr)
        return;
    // Front and back in different modes would need per-polygon facing for fills as well.
    if (face != GL_FRONT_AND_BACK) {
        report("glPolygonMode", "face", face);
        return;
    }
    if (mode != GL_FILL && mode != GL_LINE) {
        report("glPolygonMode", "mode", mode);
        return;
    }
    c->polygon_mode = mode;
}

void glLineWidth(GLfloat width) {
    Context *c = ready("glLineWidth");
    if (c == nullptr)
        return;
    // ES guarantees only width 1; wider lines may silently come out at 1.
    if (width != 1.0f) {
        report("glLineWidth", "a width other than 1");
        return;
    }
    c->es.LineWidth(width);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    Context *c = ready("glClearColor");
    if (c == nullptr)
        return;
    const float colour[4] = {red, green, blue, alpha};
    std::copy(colour, colour + 4, c->clear_colour);
    c->es.ClearColor(red, green, blue, alpha);
}

void glClear(GLbitfield mask) {
    Context *c = ready("glClear");
    if (c == nullptr)
        return;
    if ((mask & ~static_cast<GLbitfield>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) != 0) {
        report("glClear", "mask", mask);
        return;
    }
    c->es.Clear(mask);
}

void glFlush(void) {
    if (Context *c = ready("glFlush"))
        c->es.Flush();
}

void glFinish(void) {
    if (Context *c = ready("glFinish"))
        c->es.Finish();
}

void glPixelStorei(GLenum pname, GLint param) {
    Context *c = ready("glPixelStorei");
    if (c == nullptr)
        return;
    // Reading pixels is the only transfer that goes through ES as it is; the texture upload sets
    // its own alignment.
    if (pname != GL_PACK_ALIGNMENT || param != 1) {
        report("glPixelStorei", "pname or value", pname == GL_PACK_ALIGNMENT ? param : pname);
        return;
    }
    c->pack_alignment = param;
    c->es.PixelStorei(pname, param);
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid *pixels) {
    Context *c = ready("glReadPixels");
    if (c == nullptr)
        return;
    // The one combination every ES implementation reads.
    if (format != GL_RGBA || type != GL_UNSIGNED_BYTE) {
        report("glReadPixels", "format", format);
        return;
    }
    c->es.ReadPixels(x, y, width, height, format, type, pixels);
}

const GLubyte *glGetString(GLenum name) {
    Context *c = ready("glGetString");
    if (c == nullptr)
        return nullptr;
    if (name != GL_RENDERER) {
        report("glGetString", "name", name);
        return nullptr;
    }
    return reinterpret_cast<const GLubyte *>(c->renderer.c_str());
}

} // extern "C"

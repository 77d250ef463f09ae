// The matrix stacks, kept in software; only their tops reach the program, as uniforms.
#include "platform/gles/matrix_math.h"
#include "platform/gles/state.h"

#include <cstring>

using namespace gl_subset;

extern "C" {

void glMatrixMode(GLenum mode) {
    Context *c = ready("glMatrixMode");
    if (c == nullptr)
        return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        report("glMatrixMode", "mode", mode);
        return;
    }
    c->matrix_mode = mode;
}

void glLoadIdentity(void) {
    Context *c = ready("glLoadIdentity");
    if (c == nullptr)
        return;
    identity(current_stack(*c).top().m);
}

void glPushMatrix(void) {
    Context *c = ready("glPushMatrix");
    if (c == nullptr)
        return;
    MatrixStack &stack = current_stack(*c);
    if (stack.entries.size() >= stack.max_depth) {
        report("glPushMatrix", "stack overflow");
        return;
    }
    stack.entries.push_back(stack.top());
}

void glPopMatrix(void) {
    Context *c = ready("glPopMatrix");
    if (c == nullptr)
        return;
    MatrixStack &stack = current_stack(*c);
    if (stack.entries.size() <= 1) {
        report("glPopMatrix", "stack underflow");
        return;
    }
    stack.entries.pop_back();
}

void glMultMatrixf(const GLfloat *m) {
    Context *c = ready("glMultMatrixf");
    if (c == nullptr)
        return;
    float *top = current_stack(*c).top().m;
    multiply(top, top, m);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Context *c = ready("glRotatef");
    if (c == nullptr)
        return;
    float r[16];
    rotation(r, angle, x, y, z);
    float *top = current_stack(*c).top().m;
    multiply(top, top, r);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Context *c = ready("glTranslatef");
    if (c == nullptr)
        return;
    translate(current_stack(*c).top().m, x, y, z);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val) {
    Context *c = ready("glOrtho");
    if (c == nullptr)
        return;
    if (left == right || bottom == top || near_val == far_val) {
        report("glOrtho", "an empty volume");
        return;
    }
    float o[16];
    ortho(o, left, right, bottom, top, near_val, far_val);
    float *m = current_stack(*c).top().m;
    multiply(m, m, o);
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
               GLdouble far_val) {
    Context *c = ready("glFrustum");
    if (c == nullptr)
        return;
    if (near_val <= 0 || far_val <= 0 || left == right || bottom == top || near_val == far_val) {
        report("glFrustum", "a volume OpenGL refuses");
        return;
    }
    float f[16];
    frustum(f, left, right, bottom, top, near_val, far_val);
    float *m = current_stack(*c).top().m;
    multiply(m, m, f);
}

void glGetFloatv(GLenum pname, GLfloat *params) {
    Context *c = ready("glGetFloatv");
    if (c == nullptr)
        return;
    if (pname != GL_MODELVIEW_MATRIX) {
        report("glGetFloatv", "pname", pname);
        return;
    }
    std::memcpy(params, c->modelview.top().m, sizeof(Matrix::m));
}

} // extern "C"

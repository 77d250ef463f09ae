// One frame: clear, advance the spin, switch capabilities on, draw the model, switch them off,
// present. Fog alone stays as the frame left it.
#include "scene/frame.h"

#include "platform/opengl.h"
#include "scene/mesh.h"
#include "scene/viewer_state.h"

#include <cmath>
#include <cstring>

namespace {

constexpr GLfloat fog_clear[4] = {0.5f, 0.25f, 0.25f, 1.0f};
constexpr GLfloat plain_clear[4] = {0.15f, 0.15f, 0.15f, 1.0f};
constexpr GLfloat material_ambient[4] = {0.05f, 0.05f, 0.05f, 1.0f};
constexpr GLfloat material_specular[4] = {0.23f, 0.23f, 0.25f, 1.0f};
constexpr GLfloat material_shininess = 40.0f;
constexpr GLfloat diffuse_alpha = 0.6f;

bool all_finite(const float *m, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(m[i]))
            return false;
    return true;
}

// Float products of rotations drift by about 3e-8 a frame. Below this the matrix is left exactly
// as the plain product made it; above it, it is corrected before the model visibly grows.
constexpr double drift_limit = 1e-5;

bool drifted(const float m[16]) {
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            const double dot = double(m[4 * a]) * m[4 * b] + double(m[4 * a + 1]) * m[4 * b + 1] +
                               double(m[4 * a + 2]) * m[4 * b + 2];
            const double off = a == b ? std::fabs(std::sqrt(dot) - 1.0) : std::fabs(dot);
            if (!(off <= drift_limit))
                return true;
        }
    }
    return false;
}

} // namespace

void orthonormalize_rotation(float m[16]) {
    double x[3] = {m[0], m[1], m[2]};
    double y[3] = {m[4], m[5], m[6]};
    const double x_length = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double &v : x)
        v /= x_length;
    const double xy = x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
    for (int i = 0; i < 3; ++i)
        y[i] -= xy * x[i];
    const double y_length = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    for (double &v : y)
        v /= y_length;
    // The third column as x cross y keeps the rotation proper (no reflection creeps in).
    const double z[3] = {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2],
                         x[0] * y[1] - x[1] * y[0]};
    const float out[16] = {
        static_cast<float>(x[0]),
        static_cast<float>(x[1]),
        static_cast<float>(x[2]),
        0.0f,
        static_cast<float>(y[0]),
        static_cast<float>(y[1]),
        static_cast<float>(y[2]),
        0.0f,
        static_cast<float>(z[0]),
        static_cast<float>(z[1]),
        static_cast<float>(z[2]),
        0.0f,
        0.0f,
        0.0f,
        0.0f,
        1.0f,
    };
    if (all_finite(out, 16))
        std::memcpy(m, out, sizeof out);
}

void apply_spin_increment() {
    if (viewer.spin_active != 1)
        return;
    float before[16];
    std::memcpy(before, viewer.model_transform, sizeof before);

    glPushMatrix();
    glLoadIdentity();
    glRotatef(viewer.spin_angle, viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]);
    glMultMatrixf(viewer.model_transform);
    glGetFloatv(GL_MODELVIEW_MATRIX, viewer.model_transform);
    glPopMatrix();

    // No angle or no axis is no rotation, whatever an implementation makes of a zero axis.
    const bool no_rotation =
        viewer.spin_angle == 0.0f ||
        (viewer.spin_axis[0] == 0.0f && viewer.spin_axis[1] == 0.0f && viewer.spin_axis[2] == 0.0f);
    if (no_rotation || !all_finite(viewer.model_transform, 16))
        std::memcpy(viewer.model_transform, before, sizeof before);
    else if (drifted(viewer.model_transform))
        orthonormalize_rotation(viewer.model_transform);
}

void apply_materials() {
    const GLfloat front_diffuse[4] = {viewer.front_diffuse[0], viewer.front_diffuse[1],
                                      viewer.front_diffuse[2], diffuse_alpha};
    const GLfloat back_diffuse[4] = {viewer.back_diffuse[0], viewer.back_diffuse[1],
                                     viewer.back_diffuse[2], diffuse_alpha};
    glMaterialfv(GL_FRONT, GL_AMBIENT, material_ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, front_diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    glMaterialf(GL_FRONT, GL_SHININESS, material_shininess);
    glMaterialfv(GL_BACK, GL_AMBIENT, material_ambient);
    glMaterialfv(GL_BACK, GL_DIFFUSE, back_diffuse);
    glMaterialfv(GL_BACK, GL_SPECULAR, material_specular);
    glMaterialf(GL_BACK, GL_SHININESS, material_shininess);
}

void draw_frame() {
    const GLfloat *clear = viewer.fog_enabled != 0 ? fog_clear : plain_clear;
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (viewer.fog_enabled != 0)
        glEnable(GL_FOG);
    else
        glDisable(GL_FOG);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    apply_spin_increment();

    if (viewer.texture_enabled != 0)
        glEnable(GL_TEXTURE_2D);
    if (viewer.wireframe != 0)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    if (viewer.cull_faces != 0)
        glEnable(GL_CULL_FACE);
    if (viewer.lighting_enabled != 0) {
        // Re-sent under the identity modelview, so the lights stay put while the model turns.
        glEnable(GL_LIGHTING);
        glLightfv(GL_LIGHT1, GL_POSITION, viewer.light_positions[0]);
        glLightfv(GL_LIGHT2, GL_POSITION, viewer.light_positions[1]);
        glEnable(GL_LIGHT2);
        for (int i = 2; i < 6; ++i)
            glLightfv(GL_LIGHT1 + i, GL_POSITION, viewer.light_positions[i]);
    }
    glEnable(GL_DEPTH_TEST);

    glPushMatrix();
    glMultMatrixf(viewer.model_transform);
    apply_materials();
    // The mesh's point (0, 9, 0) is the one that stays put under every rotation.
    glTranslatef(0.0f, -9.0f, 0.0f);
    draw_mesh();
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    glFlush();
    SwapBuffers(viewer.device_context);
}

// Everything here is set once per context and relied on by every frame afterwards.
#include "scene/scene_setup.h"

#include "platform/opengl.h"
#include "scene/viewer_state.h"

#include <cstdlib>

namespace {

// One float step above the nearest float to 0.243: a plain 0.243f is one step too low. Nothing
// on screen shows it (llvmpipe draws the same fog pixels with both); the GL state read back does.
constexpr GLfloat fog_density = 0.24300001561641693f;
constexpr GLfloat fog_color[4] = {0.4f, 0.4f, 0.5f, 1.0f};
constexpr GLfloat light0_position[4] = {0.7f, 0.7f, 1.25f, 0.0f};

struct LightColours {
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat specular[4];
};

// GL_LIGHT1 to GL_LIGHT6; GL_LIGHT0 keeps OpenGL's white defaults.
constexpr LightColours light_colours[6] = {
    {{0.35f, 0.35f, 0.65f, 1}, {0.2f, 0.2f, 0.5f, 1}, {0.2f, 0.2f, 0.65f, 1}},
    {{0.65f, 0.75f, 0.45f, 1}, {0.4f, 0.3f, 0.3f, 1}, {0.65f, 0.85f, 0.85f, 1}},
    {{0.65f, 0.65f, 0.35f, 1}, {0.4f, 0.4f, 0.05f, 1}, {0.65f, 0.65f, 0.85f, 1}},
    {{0.55f, 0.55f, 0.55f, 1}, {0.4f, 0.5f, 0.3f, 1}, {0.2f, 0.7f, 0.35f, 1}},
    {{0.05f, 0.6f, 0.05f, 1}, {0.0f, 0.5f, 0.0f, 1}, {0.05f, 0.6f, 0.08f, 1}},
    {{0.4f, 0.4f, 0.4f, 1}, {0.4f, 0.4f, 0.05f, 1}, {0.65f, 0.55f, 0.55f, 1}},
};

constexpr int checker_side = 256;

} // namespace

void init_scene() {
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, fog_density);
    glFogfv(GL_FOG_COLOR, fog_color);

    set_projection();

    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);

    glLightfv(GL_LIGHT0, GL_POSITION, light0_position);
    glEnable(GL_LIGHT0);

    for (int i = 0; i < 6; ++i) {
        const GLenum light = GL_LIGHT1 + i;
        glLightfv(light, GL_POSITION, viewer.light_positions[i]);
        glLightfv(light, GL_AMBIENT, light_colours[i].ambient);
        glLightfv(light, GL_DIFFUSE, light_colours[i].diffuse);
        glLightfv(light, GL_SPECULAR, light_colours[i].specular);
        // GL_LIGHT2 is switched on by the first lit frame.
        if (light != GL_LIGHT2)
            glEnable(light);
    }

    make_checker_texture();

    for (int i = 0; i < 16; ++i)
        viewer.model_transform[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void set_projection() {
    const float aspect = static_cast<float>(static_cast<double>(viewer.window_width) /
                                            static_cast<double>(viewer.window_height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (viewer.perspective == 0) {
        glOrtho(-13.0 * aspect, 13.0 * aspect, -13.0, 13.0, -23.0, 23.0);
    } else {
        // The near bound is the float 0.9 widened, not the double nearest to 0.9. With the latter
        // llvmpipe draws the same pixels; only the projection matrix read back differs.
        glFrustum(-1.0 * aspect, 1.0 * aspect, -1.0, 1.0, static_cast<double>(0.9f), 14.0);
    }
    glMatrixMode(GL_MODELVIEW);
}

void make_checker_texture() {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
              viewer.texture_replace != 0 ? GL_REPLACE : GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    auto *texels = static_cast<unsigned char *>(std::malloc(checker_side * checker_side * 4));
    if (texels == nullptr)
        return;
    unsigned char *texel = texels;
    for (int row = 0; row < checker_side; ++row) {
        for (int column = 0; column < checker_side; ++column, texel += 4) {
            const unsigned char grey = ((row ^ column) & 32) != 0 ? 255 : 16;
            texel[0] = texel[1] = texel[2] = grey;
            texel[3] = 255;
        }
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, checker_side, checker_side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels);
    std::free(texels);
}

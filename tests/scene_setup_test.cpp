// The OpenGL state that the one-time set-up leaves, read back from a real context.
#include "gl_fixture.h"
#include "platform/opengl.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"

#include <array>
#include <vector>

namespace {

using Vec4 = std::array<GLfloat, 4>;

Vec4 light(GLenum light, GLenum parameter) {
    Vec4 v{};
    glGetLightfv(light, parameter, v.data());
    return v;
}

std::array<GLdouble, 16> matrix(GLenum which) {
    std::array<GLdouble, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}

// What glOrtho or glFrustum with these bounds produce on an identity matrix.
std::array<GLdouble, 16> reference_projection(bool perspective, double l, double r, double b,
                                              double t, double n, double f) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (perspective)
        glFrustum(l, r, b, t, n, f);
    else
        glOrtho(l, r, b, t, n, f);
    auto m = matrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return m;
}

bool enabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

} // namespace

using SceneSetupTest = GlTest;

TEST_F(SceneSetupTest, SwitchesOnTheLightsItOwnsAndNothingElse) {
    init_scene();
    for (GLenum l : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6})
        EXPECT_TRUE(enabled(l)) << "light " << l - GL_LIGHT0;
    for (GLenum c : {GLenum(GL_LIGHT2), GLenum(GL_LIGHTING), GLenum(GL_FOG), GLenum(GL_TEXTURE_2D),
                     GLenum(GL_DEPTH_TEST), GLenum(GL_CULL_FACE)})
        EXPECT_FALSE(enabled(c)) << "capability 0x" << std::hex << c;
    GLint two_side = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
    EXPECT_EQ(two_side, 1);
}

TEST_F(SceneSetupTest, GivesEveryLightItsColoursAndDirection) {
    init_scene();
    // GL_LIGHT0 keeps OpenGL's defaults for light 0: white diffuse and specular, no ambient.
    EXPECT_EQ(light(GL_LIGHT0, GL_AMBIENT), (Vec4{0, 0, 0, 1}));
    EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(light(GL_LIGHT0, GL_SPECULAR), (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (Vec4{0.7f, 0.7f, 1.25f, 0}));

    const Vec4 ambient[6] = {{0.35f, 0.35f, 0.65f, 1}, {0.65f, 0.75f, 0.45f, 1},
                             {0.65f, 0.65f, 0.35f, 1}, {0.55f, 0.55f, 0.55f, 1},
                             {0.05f, 0.6f, 0.05f, 1},  {0.4f, 0.4f, 0.4f, 1}};
    const Vec4 diffuse[6] = {{0.2f, 0.2f, 0.5f, 1}, {0.4f, 0.3f, 0.3f, 1}, {0.4f, 0.4f, 0.05f, 1},
                             {0.4f, 0.5f, 0.3f, 1}, {0.0f, 0.5f, 0.0f, 1}, {0.4f, 0.4f, 0.05f, 1}};
    const Vec4 specular[6] = {{0.2f, 0.2f, 0.65f, 1},   {0.65f, 0.85f, 0.85f, 1},
                              {0.65f, 0.65f, 0.85f, 1}, {0.2f, 0.7f, 0.35f, 1},
                              {0.05f, 0.6f, 0.08f, 1},  {0.65f, 0.55f, 0.55f, 1}};
    const Vec4 positions[6] = {{-10, 14, 4, 0}, {5, -6, -2, 0}, {0, -3, 4, 0},
                               {0, -2, -5, 0},  {0, 0, -8, 0},  {-20, -10, -2, 0}};
    for (int i = 0; i < 6; ++i) {
        const GLenum l = GL_LIGHT1 + i;
        EXPECT_EQ(light(l, GL_AMBIENT), ambient[i]) << "light " << i + 1;
        EXPECT_EQ(light(l, GL_DIFFUSE), diffuse[i]) << "light " << i + 1;
        EXPECT_EQ(light(l, GL_SPECULAR), specular[i]) << "light " << i + 1;
        // Directional lights are stored as given under the identity modelview.
        EXPECT_EQ(light(l, GL_POSITION), positions[i]) << "light " << i + 1;
    }
}

TEST_F(SceneSetupTest, SetsExp2FogOneFloatStepAbove0243) {
    init_scene();
    GLint mode = 0;
    GLfloat density = 0;
    Vec4 colour{};
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, colour.data());
    EXPECT_EQ(mode, GL_EXP2);
    EXPECT_EQ(static_cast<double>(density), 0.24300001561641693);
    EXPECT_GT(density, 0.243f);
    EXPECT_EQ(colour, (Vec4{0.4f, 0.4f, 0.5f, 1.0f}));
}

TEST_F(SceneSetupTest, ProjectsOrthographicallyAndLeavesAnIdentityModelview) {
    viewer.model_transform[3] = 7; // not yet a pose
    init_scene();
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), reference_projection(false, -13, 13, -13, 13, -23, 23));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const std::array<GLdouble, 16> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), identity);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(viewer.model_transform[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;
}

TEST_F(SceneSetupTest, WideWindowsAndPerspectiveScaleTheSidesByTheFloatAspect) {
    viewer.window_width = 900;
    viewer.window_height = 600;
    set_projection();
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX),
              reference_projection(false, -13 * 1.5, 13 * 1.5, -13, 13, -23, 23));

    viewer.window_width = viewer.window_height = window_side;
    viewer.perspective = 1;
    set_projection();
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX),
              reference_projection(true, -1, 1, -1, 1, 0.8999999761581421, 14));
}

TEST_F(SceneSetupTest, LoadsTheCheckerBoardAsAnRgbTextureWithoutMipmaps) {
    init_scene();
    GLint format = 0, width = 0, height = 0, level1_width = 0, env = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1_width);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(format, GL_RGB);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(level1_width, 0);
    EXPECT_EQ(env, GL_MODULATE);
    for (GLenum parameter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        EXPECT_EQ(value, GL_NEAREST);
    }

    std::vector<GLubyte> texels(256 * 256 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto texel = [&](int row, int column) {
        const GLubyte *t = &texels[(row * 256 + column) * 4];
        return std::array<int, 4>{t[0], t[1], t[2], t[3]};
    };
    const std::array<int, 4> dark = {16, 16, 16, 255}, light = {255, 255, 255, 255};
    EXPECT_EQ(texel(0, 0), dark);
    EXPECT_EQ(texel(0, 31), dark);
    EXPECT_EQ(texel(0, 32), light);
    EXPECT_EQ(texel(32, 0), light);
    EXPECT_EQ(texel(32, 32), dark);
    EXPECT_EQ(texel(255, 255), dark);
    EXPECT_EQ(texel(255, 0), light);
    int light_count = 0;
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c)
            light_count += texel(r, c) == light;
    EXPECT_EQ(light_count, 256 * 128);
}

TEST_F(SceneSetupTest, ReplaceModeWhenAskedFor) {
    viewer.texture_replace = 1;
    init_scene();
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_REPLACE);
}

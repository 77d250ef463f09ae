// The subset where a wrong result would not show plainly in the viewer's picture: matrices read
// back, lights under a turned modelview, the back material, fog by depth, the edges of polygons
// drawn as lines, every call and argument it refuses, and a context that is lost and comes back.
#include "offscreen_gl.h"
#include "platform/gles/gl_subset.h"
#include "platform/gles/immediate.h"
#include "platform/opengl.h"

#include <EGL/egl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr int side = 64;

class SubsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(create_offscreen_gl(side, side, 16, &error)) << error;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { destroy_offscreen_gl(); }

    // A triangle covering the pixel at (x, y) of the 64x64 picture, at eye depth z, with the
    // given normal, counter-clockwise unless clockwise is set.
    static void triangle(float x, float y, float z, float nx, float ny, float nz,
                         bool clockwise = false) {
        const float cx = (x + 0.5f) / side * 2 - 1, cy = (y + 0.5f) / side * 2 - 1;
        glBegin(GL_TRIANGLES);
        glNormal3f(nx, ny, nz);
        glVertex3f(cx - 0.2f, cy - 0.2f, z);
        if (clockwise) {
            glVertex3f(cx, cy + 0.2f, z);
            glVertex3f(cx + 0.2f, cy - 0.2f, z);
        } else {
            glVertex3f(cx + 0.2f, cy - 0.2f, z);
            glVertex3f(cx, cy + 0.2f, z);
        }
        glEnd();
    }

    static std::array<int, 3> pixel(int x, int y) {
        unsigned char rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    // Light 0 along light_direction, white diffuse only: a lit pixel shows n.L directly.
    static void diffuse_only_light() {
        const float zero[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
        for (GLenum face : {GL_FRONT, GL_BACK}) {
            glMaterialfv(face, GL_AMBIENT, zero);
            glMaterialfv(face, GL_DIFFUSE, white);
        }
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    }
};

TEST_F(SubsetTest, MatricesReadBackAsTheProductOfWhatWasMultipliedIn) {
    const float turn[16] = {1, 0, 0, 0, 0, 0.6f, 0.8f, 0, 0, -0.8f, 0.6f, 0, 1, 2, 3, 1};
    glRotatef(90, 0, 0, 1);
    glPushMatrix();
    glMultMatrixf(turn);
    glTranslatef(0, -9, 0);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Rz(90) x turn x T(0, -9, 0): the rotation applies last, to the already translated point.
    const float expected[16] = {0, 1, 0, 0, -0.6f, 0, 0.8f, 0, 0.8f, 0, 0.6f, 0, 3.4f, 1, -4.2f, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 2e-6) << i;
    glPopMatrix();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[1], 1, 1e-7);
    EXPECT_NEAR(m[4], -1, 1e-7);
}

TEST_F(SubsetTest, ALightPositionIsTakenUnderTheModelviewInForceWhenItIsSet) {
    diffuse_only_light();
    // (1, 0, 0) turned by 90 degrees about z points along +y in eye space.
    glPushMatrix();
    glRotatef(90, 0, 0, 1);
    const float along_x[4] = {1, 0, 0, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, along_x);
    glPopMatrix();
    triangle(16, 32, 0, 0, 1, 0);
    triangle(48, 32, 0, 1, 0, 0);
    EXPECT_GE(pixel(16, 32)[0], 253);
    EXPECT_LE(pixel(48, 32)[0], 2);
}

TEST_F(SubsetTest, TwoSidedLightingLightsBackFacesWithTheBackMaterialAndReversedNormal) {
    diffuse_only_light();
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, red);
    glMaterialfv(GL_BACK, GL_DIFFUSE, green);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    // The light comes from the viewer (0, 0, 1), the default position.
    triangle(16, 32, 0, 0, 0, 1);
    triangle(48, 32, 0, 0, 0, -1, true);
    EXPECT_EQ(pixel(16, 32), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixel(48, 32), (std::array<int, 3>{0, 255, 0}));
}

TEST_F(SubsetTest, Exp2FogFadesToTheFogColourByEyeDepth) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -20, 20);
    glMatrixMode(GL_MODELVIEW);
    const float density = 0.243f;
    const float fog_colour[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, density);
    glFogfv(GL_FOG_COLOR, fog_colour);
    glEnable(GL_FOG);
    const float depths[3] = {1, 4, 8};
    for (int i = 0; i < 3; ++i)
        triangle(10 + 20 * i, 32, -depths[i], 0, 0, 1);
    for (int i = 0; i < 3; ++i) {
        const double f = std::exp(-(density * depths[i]) * (density * depths[i]));
        EXPECT_NEAR(pixel(10 + 20 * i, 32)[0], 255 * f, 2) << "depth " << depths[i];
    }
}

// A fresh ES context stands for one that WebGL gives back: no objects, ES's initial state.
TEST_F(SubsetTest, AContextThatComesBackDrawsAsBeforeItWasLost) {
    const unsigned char texel[4] = {16, 32, 64, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glClearColor(0.5f, 0.25f, 0, 1);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    const void *lost = eglGetCurrentContext();
    gl_subset_lost(lost);
    triangle(16, 32, 0, 0, 0, 1); // dropped: no program is made on a lost context
    std::string error;
    ASSERT_TRUE(create_offscreen_context(side, side, 16, OffscreenApi::es2, &error)) << error;
    ASSERT_TRUE(gl_subset_restored(lost));
    glClear(GL_COLOR_BUFFER_BIT);
    triangle(16, 32, 0, 0, 0, 1);
    triangle(48, 32, 0, 0, 0, 1, true); // culled
    EXPECT_EQ(pixel(16, 32), (std::array<int, 3>{16, 32, 64}));
    EXPECT_EQ(pixel(48, 32), (std::array<int, 3>{128, 64, 0}));
}

TEST_F(SubsetTest, LinesForPolygonsAreTheThreeEdgesOfEveryTriangleWithItsFacing) {
    using gl_subset::Vertex;
    const std::vector<Vertex> triangles = {
        {{0, 0, 0}, {}, 1}, {{1, 0, 0}, {}, 1}, {{0, 1, 0}, {}, 1}, // counter-clockwise
        {{0, 0, 0}, {}, 1}, {{0, 1, 0}, {}, 1}, {{1, 0, 0}, {}, 1}, // clockwise
        {{0, 0, 0}, {}, 1}, {{1, 1, 0}, {}, 1}, {{0, 0, 0}, {}, 1}, // no area
    };
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const std::vector<Vertex> lines = gl_subset::triangle_edges(triangles, identity, false);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].facing, 1.0f);
    EXPECT_EQ(lines[6].facing, 0.0f);
    // A degenerate face in line mode retraces its segment; it counts as front, as it does for
    // fixed-function rasterizers, but culling drops it with the back face.
    EXPECT_EQ(lines[12].facing, 1.0f);
    EXPECT_EQ(gl_subset::triangle_edges(triangles, identity, true).size(), 6u);
}

// Each call or argument outside the subset: one line naming the call, once however often it comes,
// and nothing changes (the picture of a lit, fogged triangle and the modelview matrix); the same
// without a context.
TEST_F(SubsetTest, EachCallOutsideTheSubsetPrintsOneLineAndChangesNothing) {
    const float zero[4] = {0, 0, 0, 0}, point[4] = {0, 0, 1, 1};
    unsigned char texel[4] = {}, rgba[4] = {};
    float read[16];
    const std::vector<std::pair<const char *, std::function<void()>>> refused = {
        {"glBegin", [] { glBegin(0x0007), glVertex3f(0, 0, 0), glEnd(); }},
        {"glEnable", [] { glBegin(GL_TRIANGLES), glEnable(GL_FOG), glEnd(); }},
        {"glVertex3f", [] { glVertex3f(0, 0, 0); }},
        {"glEnd", [] { glEnd(); }},
        {"glEnable", [] { glEnable(0x0BE2); }},
        {"glDisable", [] { glDisable(GL_LIGHT0 + 7); }},
        {"glPolygonMode", [] { glPolygonMode(GL_FRONT, GL_LINE); }},
        {"glPolygonMode", [] { glPolygonMode(GL_FRONT_AND_BACK, 0x1B00); }},
        {"glLineWidth", [] { glLineWidth(2); }},
        {"glClear", [] { glClear(0x400); }},
        {"glPixelStorei", [] { glPixelStorei(GL_PACK_ALIGNMENT, 4); }},
        {"glReadPixels", [&] { glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgba); }},
        {"glGetString", [] { glGetString(0x1F02); }},
        {"glMatrixMode", [] { glMatrixMode(0x1702); }},
        {"glPopMatrix", [] { glPopMatrix(); }},
        {"glPushMatrix",
         [] {
             for (int i = 0; i < 32; ++i)
                 glPushMatrix();
         }},
        {"glOrtho", [] { glOrtho(1, 1, -1, 1, -1, 1); }},
        {"glFrustum", [] { glFrustum(-1, 1, -1, 1, 0, 1); }},
        {"glGetFloatv", [&] { glGetFloatv(0x0BA7, read); }},
        {"glLightfv", [&] { glLightfv(GL_LIGHT0 + 7, GL_DIFFUSE, zero); }},
        {"glLightfv", [&] { glLightfv(GL_LIGHT0, 0x1204, zero); }},
        {"glLightfv", [&] { glLightfv(GL_LIGHT0, GL_POSITION, point); }},
        {"glLightModeli", [] { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0); }},
        {"glMaterialfv", [&] { glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, zero); }},
        {"glMaterialfv", [&] { glMaterialfv(GL_FRONT, 0x1600, point); }},
        {"glMaterialf", [] { glMaterialf(GL_BACK, GL_SHININESS, 129); }},
        {"glFogi", [] { glFogi(GL_FOG_MODE, 0x0800); }},
        {"glFogf", [] { glFogf(GL_FOG_DENSITY, -1); }},
        {"glFogfv", [&] { glFogfv(0x0B63, zero); }},
        {"glTexEnvi", [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, 0x0BE2); }},
        {"glTexParameteri", [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, 0x2601); }},
        {"glTexImage2D",
         [&] {
             glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 3, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
         }},
    };
    diffuse_only_light();
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, 0.5f);
    glEnable(GL_FOG);
    glRotatef(30, 0, 0, 1);
    triangle(32, 32, -0.5f, 0, 0, 1);
    const std::array<int, 3> before = pixel(32, 32);
    for (const auto &[call, make] : refused) {
        for (int i = 0; i < 2; ++i) {
            testing::internal::CaptureStderr();
            make();
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), i == 0 ? 1 : 0) << call << err;
            EXPECT_EQ(err.find(std::string("gl subset: ") + call + ": ") != std::string::npos,
                      i == 0)
                << err;
        }
    }
    glGetFloatv(GL_MODELVIEW_MATRIX, read);
    EXPECT_NEAR(read[1], 0.5f, 1e-6);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    triangle(32, 32, -0.5f, 0, 0, 1);
    EXPECT_EQ(pixel(32, 32), before);
    destroy_offscreen_gl();
    testing::internal::CaptureStderr();
    glNormal3f(0, 0, 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("glNormal3f: no current context"),
              std::string::npos);
}

} // namespace

// One frame on a real context: what it clears to, what it switches on and off, how it turns the
// model, and what it presents.
#include "gl_fixture.h"
#include "platform/opengl.h"
#include "scene/frame.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <array>
#include <cmath>
#include <vector>

namespace {

using Pixels = std::vector<GLubyte>;

Pixels read_frame(int size) {
    Pixels rgba(static_cast<size_t>(size) * size * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::array<int, 3> rgb_at(const Pixels &p, int size, int x, int y) {
    const GLubyte *px = &p[(static_cast<size_t>(y) * size + x) * 4];
    return {px[0], px[1], px[2]};
}

// RGB only: alpha is whatever the lit material leaves there.
bool same_rgb(const Pixels &a, const Pixels &b) {
    for (size_t i = 0; i < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
            return false;
    return true;
}

// The rotation by `degrees` about (x, y, z), as glRotate defines it, in double.
std::array<double, 16> exact_rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length, y /= length, z /= length;
    const double a = degrees * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
    return {x * x * (1 - c) + c,
            y * x * (1 - c) + z * s,
            x * z * (1 - c) - y * s,
            0,
            x * y * (1 - c) - z * s,
            y * y * (1 - c) + c,
            y * z * (1 - c) + x * s,
            0,
            x * z * (1 - c) + y * s,
            y * z * (1 - c) - x * s,
            z * z * (1 - c) + c,
            0,
            0,
            0,
            0,
            1};
}

std::array<float, 16> pose() {
    std::array<float, 16> m;
    std::copy(viewer.model_transform, viewer.model_transform + 16, m.begin());
    return m;
}

class FrameTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        init_scene();
    }
};

} // namespace

TEST_F(FrameTest, ClearsDarkGreyAndDrawsTheLitModelInBothMaterials) {
    draw_frame();
    const Pixels frame = read_frame(window_side);
    const std::array<int, 3> background = {38, 38, 38}; // 0.15
    for (auto [x, y] : {std::pair{0, 0},
                        {window_side - 1, 0},
                        {0, window_side - 1},
                        {window_side - 1, window_side - 1}})
        EXPECT_EQ(rgb_at(frame, window_side, x, y), background) << x << "," << y;

    // Seen from the front, the helicoid shows front faces (reddish) and back faces (greenish).
    int front = 0, back = 0;
    for (int y = 0; y < window_side; y += 2) {
        for (int x = 0; x < window_side; x += 2) {
            const auto [r, g, b] = rgb_at(frame, window_side, x, y);
            front += r > g + 40;
            back += g > r + 40;
        }
    }
    EXPECT_GT(front, 2000);
    EXPECT_GT(back, 2000);

    // Presented once, after the flush, on the window's device context.
    EXPECT_TRUE(same_sequence({"SwapBuffers(null)"}, win32_double::calls_named({"SwapBuffers"})));
}

TEST_F(FrameTest, WithoutSpinEveryFrameIsTheSame) {
    draw_frame();
    const Pixels first = read_frame(window_side);
    const auto first_pose = pose();
    draw_frame();
    EXPECT_TRUE(same_rgb(first, read_frame(window_side)));
    EXPECT_EQ(pose(), first_pose);
}

TEST_F(FrameTest, FogAndWireframeChangeThePicture) {
    draw_frame();
    const Pixels plain = read_frame(window_side);

    viewer.fog_enabled = 1;
    draw_frame();
    const Pixels fogged = read_frame(window_side);
    EXPECT_EQ(rgb_at(fogged, window_side, 0, 0),
              (std::array<int, 3>{128, 64, 64})); // 0.5, 0.25, 0.25
    EXPECT_FALSE(same_rgb(plain, fogged));

    viewer.fog_enabled = 0;
    viewer.wireframe = 1;
    draw_frame();
    const Pixels lines = read_frame(window_side);
    EXPECT_FALSE(same_rgb(plain, lines));
    int background = 0;
    for (size_t i = 0; i < lines.size(); i += 4)
        background += lines[i] == 38 && lines[i + 1] == 38 && lines[i + 2] == 38;
    EXPECT_GT(background, 0.6 * window_side * window_side)
        << "lines leave most of the picture empty";
}

TEST_F(FrameTest, FogStaysOnUntilAFrameWithoutIt) {
    viewer.fog_enabled = 1;
    draw_frame();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    draw_frame();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    viewer.fog_enabled = 0;
    draw_frame();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(FrameTest, SwitchesEverythingOffAgainWhateverTheSwitches) {
    for (int bits = 0; bits < 16; ++bits) {
        viewer.texture_enabled = bits & 1;
        viewer.wireframe = (bits >> 1) & 1;
        viewer.cull_faces = (bits >> 2) & 1;
        viewer.lighting_enabled = (bits >> 3) & 1;
        draw_frame();
        for (GLenum c : {GL_TEXTURE_2D, GL_CULL_FACE, GL_LIGHTING, GL_DEPTH_TEST})
            EXPECT_FALSE(glIsEnabled(c))
                << "switches " << bits << ", capability 0x" << std::hex << c;
        GLint polygon_mode[2] = {0, 0}, matrix_mode = 0, depth = 0;
        glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
        glGetIntegerv(GL_MATRIX_MODE, &matrix_mode);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(polygon_mode[0], GL_FILL);
        EXPECT_EQ(polygon_mode[1], GL_FILL);
        EXPECT_EQ(matrix_mode, GL_MODELVIEW);
        EXPECT_EQ(depth, 1);
        GLfloat modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        for (int i = 0; i < 16; ++i)
            ASSERT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << "switches " << bits;
    }
}

TEST_F(FrameTest, TheSecondLightComesOnWithTheFirstLitFrameOnly) {
    viewer.lighting_enabled = 0;
    draw_frame();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    // Unlit, the model is drawn in OpenGL's initial white.
    const Pixels unlit = read_frame(window_side);
    EXPECT_EQ(rgb_at(unlit, window_side, window_side / 2, window_side / 2),
              (std::array<int, 3>{255, 255, 255}));

    viewer.lighting_enabled = 1;
    draw_frame();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
}

TEST_F(FrameTest, SetsBothMaterialsFromTheViewerColours) {
    viewer.front_diffuse[0] = 0.9f;
    draw_frame();
    auto material = [](GLenum face, GLenum parameter) {
        std::array<GLfloat, 4> v{};
        glGetMaterialfv(face, parameter, v.data());
        return v;
    };
    using V = std::array<GLfloat, 4>;
    EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), (V{0.9f, 0.3f, 0.4f, 0.6f}));
    EXPECT_EQ(material(GL_BACK, GL_DIFFUSE), (V{0.2f, 0.5f, 0.3f, 0.6f}));
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        EXPECT_EQ(material(face, GL_AMBIENT), (V{0.05f, 0.05f, 0.05f, 1.0f}));
        EXPECT_EQ(material(face, GL_SPECULAR), (V{0.23f, 0.23f, 0.25f, 1.0f}));
        EXPECT_EQ(material(face, GL_SHININESS)[0], 40.0f);
    }
}

TEST_F(FrameTest, EachSpinFrameTurnsTheModelByOneIncrement) {
    viewer.spin_active = 1;
    int drawn = 0;
    for (int n : {1, 45, 180, 1000}) {
        for (; drawn < n; ++drawn)
            draw_frame();
        const auto exact = exact_rotation(2.0 * n, 0.3, 0.2, 0.4);
        // Rounding in float grows with the number of products (about 3e-8 a frame) until the
        // drift correction steps in.
        const double tolerance = 1e-6 + 3.5e-8 * n;
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(viewer.model_transform[i], exact[i], tolerance)
                << "after " << n << " frames, element " << i;
    }
}

TEST_F(FrameTest, TheFirstHundredSpinFramesAreThePlainProductBitForBit) {
    viewer.spin_active = 1;
    std::array<float, 16> plain = pose();
    for (int frame = 1; frame <= 100; ++frame) {
        glPushMatrix();
        glLoadIdentity();
        glRotatef(2.0f, 0.3f, 0.2f, 0.4f);
        glMultMatrixf(plain.data());
        glGetFloatv(GL_MODELVIEW_MATRIX, plain.data());
        glPopMatrix();
        draw_frame();
        ASSERT_EQ(pose(), plain) << "frame " << frame;
    }
}

TEST_F(FrameTest, OnlyASpinOfExactlyOneTurnsTheModel) {
    viewer.spin_active = 2;
    const auto before = pose();
    draw_frame();
    EXPECT_EQ(pose(), before);
}

TEST_F(FrameTest, NoAngleOrNoAxisLeavesThePoseExactlyAsItWas) {
    viewer.spin_active = 1;
    draw_frame(); // some pose other than the identity
    const auto before = pose();

    viewer.spin_angle = 0;
    draw_frame();
    EXPECT_EQ(pose(), before);

    // A move to the previous pixel leaves a zero axis behind; that must never become NaN.
    viewer.spin_angle = 2.25f;
    viewer.spin_axis[0] = viewer.spin_axis[1] = viewer.spin_axis[2] = 0;
    draw_frame();
    EXPECT_EQ(pose(), before);
}

TEST_F(FrameTest, TenMillionIncrementsStayARotationInsideTheView) {
    viewer.spin_active = 1;
    for (int i = 0; i < 10'000'000; ++i)
        apply_spin_increment();
    const float *m = viewer.model_transform;
    auto dot = [m](int a, int b) {
        return double(m[4 * a]) * m[4 * b] + double(m[4 * a + 1]) * m[4 * b + 1] +
               double(m[4 * a + 2]) * m[4 * b + 2];
    };
    // Corrected only beyond 1e-5 of drift, so that is the bound.
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(std::sqrt(dot(a, a)), 1.0, 1e-5) << "column " << a;
        for (int b = a + 1; b < 3; ++b)
            EXPECT_NEAR(dot(a, b), 0.0, 1e-5) << "columns " << a << ", " << b;
    }
    // Every model point, moved down by 9 and turned, stays inside the +-13 view box.
    const Mesh &mesh = viewer.mesh;
    for (int i = 0; i < mesh.position_count; ++i) {
        const float p[3] = {mesh.positions[i][0], mesh.positions[i][1] - 9.0f,
                            mesh.positions[i][2]};
        for (int row = 0; row < 3; ++row) {
            const double v = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2];
            ASSERT_LT(std::fabs(v), 13.0) << "position " << i;
        }
    }
}

TEST(Orthonormalize, RepairsADriftedRotationAndKeepsItProper) {
    // A rotation about z by 30 degrees, its columns stretched and skewed as long float drift
    // would leave them.
    const float c = std::cos(0.5235988f), s = std::sin(0.5235988f);
    float m[16] = {c * 1.001f, s * 1.001f, 0.0004f, 0, -s, c * 0.999f, 0, 0,
                   0.0003f,    0,          1.002f,  0, 0,  0,          0, 1};
    orthonormalize_rotation(m);
    EXPECT_NEAR(m[0], c, 1e-3);
    EXPECT_NEAR(m[1], s, 1e-3);
    const double det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                       m[8] * (m[1] * m[6] - m[5] * m[2]);
    EXPECT_NEAR(det, 1.0, 1e-6);
    for (int col = 0; col < 3; ++col) {
        const double length =
            std::sqrt(double(m[4 * col]) * m[4 * col] + double(m[4 * col + 1]) * m[4 * col + 1] +
                      double(m[4 * col + 2]) * m[4 * col + 2]);
        EXPECT_NEAR(length, 1.0, 1e-7);
    }
}

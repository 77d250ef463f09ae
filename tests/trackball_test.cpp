// The trackball's sphere mapping and the drag protocol it drives through viewer-state fields.
#include "interaction/trackball.h"
#include "redraw/redraw.h"
#include "scene/viewer_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

namespace {

using Vec3 = std::array<float, 3>;

// Float and double intermediates differ by up to about 2e-7.
constexpr float tolerance = 3e-7f;

Vec3 sphere_point(int x, int y, int w = 800, int h = 800) {
    Vec3 p{};
    trackball_point(x, y, w, h, p.data());
    return p;
}

void expect_near(const Vec3 &actual, const Vec3 &expected, float within) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], within) << "component " << i;
}

class TrackballTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = ViewerState{};
        viewer.window_width = viewer.window_height = 800;
    }
    static bool frame_requested() { return viewer.idle_function == idle_redraw; }
};

} // namespace

TEST(TrackballPoint, MapsWindowPointsOntoTheUnitSphere) {
    const float r3 = 1.0f / std::sqrt(3.0f), r2 = 1.0f / std::sqrt(2.0f);
    const float rim = std::cos(1.5707964f); // just below zero: the constant is above pi/2
    expect_near(sphere_point(400, 400), {0, 0, 1}, tolerance);
    expect_near(sphere_point(600, 400), {r3, 0, std::sqrt(2.0f / 3.0f)}, tolerance);
    expect_near(sphere_point(600, 200), {0.60f, 0.60f, 0.53f}, 0.005f);
    expect_near(sphere_point(0, 400), {-1, 0, rim}, tolerance);
    expect_near(sphere_point(0, 0), {-r2, r2, rim}, tolerance);
    expect_near(sphere_point(-20, 400), {-1, 0, rim}, tolerance);
    expect_near(sphere_point(1000, 400), {1, 0, rim}, tolerance);
    EXPECT_LT(sphere_point(0, 400)[2], 0.0f);
}

TEST(TrackballPoint, StaysOnTheSphereForAnySignedSixteenBitPoint) {
    for (int x : {-32768, -1, 0, 307, 613, 32767}) {
        for (int y : {-32768, -1, 0, 307, 613, 32767}) {
            const Vec3 p = sphere_point(x, y, 614, 614);
            const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            ASSERT_NEAR(length, 1.0f, 1e-6f) << x << "," << y;
        }
    }
}

TEST_F(TrackballTest, DragStepsGiveAngleAndAxisInTheDirectionOfTheMove) {
    trackball_start(1, 400, 400);
    trackball_motion(410, 400);                      // to the right: about +y
    EXPECT_NEAR(viewer.spin_angle, 2.25121f, 2e-5f); // 90 times the chord
    expect_near({viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]}, {0, 1 / 40.0f, 0},
                1e-4f);

    trackball_start(1, 400, 400);
    trackball_motion(400, 390);                      // upwards: about -x
    EXPECT_NEAR(viewer.spin_angle, 2.25121f, 2e-5f); // 90 times the chord
    expect_near({viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]}, {-1 / 40.0f, 0, 0},
                1e-4f);
    expect_near({viewer.last_point[0], viewer.last_point[1], viewer.last_point[2]},
                sphere_point(400, 390), 0);
}

TEST_F(TrackballTest, AMoveToTheSamePixelGivesNoIncrement) {
    trackball_start(1, 123, 456);
    const Vec3 before = {viewer.last_point[0], viewer.last_point[1], viewer.last_point[2]};
    trackball_motion(123, 456);
    EXPECT_EQ(viewer.spin_angle, 0.0f);
    EXPECT_EQ((Vec3{viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]}),
              (Vec3{0, 0, 0}));
    EXPECT_EQ((Vec3{viewer.last_point[0], viewer.last_point[1], viewer.last_point[2]}), before);
}

TEST_F(TrackballTest, APressStartsADragWithoutTouchingTheIncrement) {
    trackball_start(1, 10, 20);
    EXPECT_EQ(viewer.spin_active, 1);
    EXPECT_EQ(viewer.dragging, 1);
    EXPECT_EQ(viewer.animate, 0);
    EXPECT_EQ(viewer.press_x, 10);
    EXPECT_EQ(viewer.press_y, 20);
    EXPECT_EQ(viewer.spin_angle, 2.0f); // the start-up increment is applied once more
    EXPECT_FALSE(frame_requested());
}

TEST_F(TrackballTest, AClickStopsEverything) {
    trackball_start(1, 300, 300);
    trackball_stop(1, 300, 300);
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.animate, 0);
    EXPECT_EQ(viewer.spin_angle, 0.0f);
    EXPECT_EQ(viewer.dragging, 0);
    EXPECT_EQ((Vec3{viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]}),
              (Vec3{0.3f, 0.2f, 0.4f}));
    EXPECT_TRUE(frame_requested());
}

TEST_F(TrackballTest, AReleaseAwayFromThePressLeavesItSpinningWithTheLastStep) {
    trackball_start(1, 300, 300);
    trackball_motion(310, 300);
    trackball_motion(310, 320);
    const float angle = viewer.spin_angle;
    const Vec3 axis = {viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]};
    viewer.idle_function = nullptr;
    trackball_stop(1, 330, 320);
    EXPECT_EQ(viewer.spin_active, 1);
    EXPECT_EQ(viewer.animate, 1);
    EXPECT_EQ(viewer.dragging, 0);
    EXPECT_EQ(viewer.spin_angle, angle);
    EXPECT_EQ((Vec3{viewer.spin_axis[0], viewer.spin_axis[1], viewer.spin_axis[2]}), axis);
    EXPECT_TRUE(frame_requested());
}

TEST_F(TrackballTest, AReleaseAwayInOneCoordinateOnlyStillSpins) {
    for (const auto [x, y] : {std::array{340, 300}, std::array{300, 340}}) {
        trackball_start(1, 300, 300);
        trackball_motion(x, y);
        trackball_stop(1, x, y);
        EXPECT_EQ(viewer.spin_active, 1) << x << "," << y;
        EXPECT_EQ(viewer.animate, 1) << x << "," << y;
    }
}

TEST_F(TrackballTest, ADragBackToThePressPixelCountsAsAClick) {
    trackball_start(1, 300, 300);
    trackball_motion(340, 300);
    trackball_motion(300, 300);
    trackball_stop(1, 300, 300);
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.spin_angle, 0.0f);
}

TEST_F(TrackballTest, EventsOutsideADragOrFromOtherButtonsChangeNothing) {
    const ViewerState before = viewer;
    auto unchanged = [&before] { return std::memcmp(&before, &viewer, sizeof viewer) == 0; };
    trackball_motion(500, 500); // not dragging
    EXPECT_TRUE(unchanged());
    trackball_stop(1, 500, 500); // spin_active is 0
    EXPECT_TRUE(unchanged());
    trackball_start(2, 500, 500);
    trackball_stop(3, 500, 500);
    EXPECT_TRUE(unchanged());

    // A release after a click (spin_active 0) is ignored too, and so is one with another button.
    trackball_start(1, 100, 100);
    trackball_stop(1, 100, 100);
    const ViewerState stopped = viewer;
    trackball_stop(1, 200, 200);
    EXPECT_EQ(std::memcmp(&stopped, &viewer, sizeof viewer), 0);
    trackball_start(1, 100, 100);
    trackball_stop(2, 150, 150);
    EXPECT_EQ(viewer.dragging, 1) << "only the left button ends a drag";
}

TEST_F(TrackballTest, ASpinningModelJudgesALoneReleaseAgainstTheLastPress) {
    trackball_start(1, 50, 60);
    trackball_motion(70, 60);
    trackball_stop(1, 80, 60); // spinning
    trackball_stop(1, 50, 60); // a release whose press happened elsewhere, at the old press pixel
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.animate, 0);
}

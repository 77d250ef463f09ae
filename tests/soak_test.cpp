// A long run of real frames offscreen: the pose stays a rotation inside the view and memory stays
// flat. (Ten million bare rotation steps are in frame_test.)
#include "offscreen_gl.h"
#include "redraw/redraw.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

TEST(Soak, AHundredThousandSpinningFramesKeepThePoseAndTheMemory) {
    std::string error;
    // A small drawing area: the frames' vertex work is the same, the fill is cheap.
    ASSERT_TRUE(create_offscreen_gl(64, 64, 16, &error)) << error;
    viewer = ViewerState{};
    viewer.window_width = viewer.window_height = 614;
    init_scene();
    viewer.spin_active = 1;
    request_redraw();

    long resident_at_10000 = 0;
    for (int frame = 1; frame <= 100'000; ++frame) {
        viewer.idle_function();
        if (frame == 10'000)
            resident_at_10000 = resident_kib();
    }
    const long resident_at_100000 = resident_kib();
    destroy_offscreen_gl();

    const float *m = viewer.model_transform;
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            const double dot = double(m[4 * a]) * m[4 * b] + double(m[4 * a + 1]) * m[4 * b + 1] +
                               double(m[4 * a + 2]) * m[4 * b + 2];
            EXPECT_NEAR(a == b ? std::sqrt(dot) : dot, a == b ? 1.0 : 0.0, 1e-5)
                << "columns " << a << ", " << b;
        }
    }
    // The farthest model point from the turning point (0, 9, 0) is under 12.1 away, and a
    // rotation keeps distances: inside the +-13 box whatever the pose.
    const Mesh &mesh = viewer.mesh;
    for (int i = 0; i < mesh.position_count; ++i) {
        const float p[3] = {mesh.positions[i][0], mesh.positions[i][1] - 9.0f,
                            mesh.positions[i][2]};
        for (int row = 0; row < 3; ++row)
            ASSERT_LT(std::fabs(m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2]), 13.0);
    }
    RecordProperty("resident_kib_at_10000", static_cast<int>(resident_at_10000));
    RecordProperty("resident_kib_at_100000", static_cast<int>(resident_at_100000));
    std::printf("resident memory: %ld KiB at frame 10,000, %ld KiB at frame 100,000\n",
                resident_at_10000, resident_at_100000);
    EXPECT_LE(resident_at_100000 - resident_at_10000, 1024) << "memory grew while drawing";
}

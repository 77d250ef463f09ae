// The idle-function protocol: requests install idle_redraw once; animate decides whether it stays.
#include "gl_fixture.h"
#include "redraw/redraw.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

namespace {

class RedrawTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        init_scene();
    }
    static size_t frames() { return win32_double::calls_named({"SwapBuffers"}).size(); }
};

void other_idle() {}

} // namespace

TEST_F(RedrawTest, ManyRequestsInstallTheIdleFunctionOnce) {
    EXPECT_EQ(viewer.idle_function, nullptr);
    request_redraw();
    EXPECT_EQ(viewer.idle_function, idle_redraw);
    request_redraw();
    request_redraw();
    EXPECT_EQ(viewer.idle_function, idle_redraw);
    EXPECT_EQ(frames(), 0u) << "a request never draws by itself";

    viewer.idle_function = other_idle; // whatever is installed is left alone
    request_redraw();
    EXPECT_EQ(viewer.idle_function, other_idle);
}

TEST_F(RedrawTest, WithoutAnimationEachRequestYieldsExactlyOneFrame) {
    viewer.animate = 0;
    request_redraw();
    request_redraw();
    viewer.idle_function();
    EXPECT_EQ(viewer.idle_function, nullptr);
    EXPECT_EQ(frames(), 1u);
}

TEST_F(RedrawTest, WithAnimationFramesFollowOneAnother) {
    request_redraw();
    for (int i = 0; i < 3; ++i)
        viewer.idle_function();
    EXPECT_EQ(viewer.idle_function, idle_redraw);
    EXPECT_EQ(frames(), 3u);
}

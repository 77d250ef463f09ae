#include "gl_fixture.h"

#include "offscreen_gl.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <string>

void GlTest::SetUp() {
    viewer = ViewerState{};
    win32_double::reset();
    viewer.window_width = kSize;
    viewer.window_height = kSize;
    std::string error;
    ASSERT_TRUE(create_offscreen_gl(kSize, kSize, 16, &error)) << error;
}

void GlTest::TearDown() {
    destroy_offscreen_gl();
}

#include "gl_fixture.h"

#include "offscreen_gl.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <string>

void GlTest::SetUp() {
    viewer = ViewerState{};
    win32_double::reset();
    viewer.window_width = window_side;
    viewer.window_height = window_side;
    std::string error;
    ASSERT_TRUE(create_offscreen_gl(window_side, window_side, 16, &error)) << error;
}

void GlTest::TearDown() {
    destroy_offscreen_gl();
}

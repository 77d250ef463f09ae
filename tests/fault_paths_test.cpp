// The whole program through WinMain when the platform lets it down: without an OpenGL context
// the window lives on without drawing, keys still work, and Escape ends it normally.
#include "redraw/redraw.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <gtest/gtest.h>

TEST(FaultPaths, WithoutAnOpenGLContextTheWindowLivesAndEscapeEndsItWithZero) {
    // No GL context is current in this test: OpenGL calls do nothing, as on a window whose
    // context could not be made.
    viewer = ViewerState{};
    win32_double::reset();
    win32_double::script().create_context_fails = true;
    using win32_double::point;
    using win32_double::post;
    post(WM_PAINT);
    post(WM_CHAR, 'f');
    post(WM_CHAR, 'p');
    post(WM_CHAR, 'j');
    post(WM_LBUTTONDOWN, 1, point(100, 100));
    post(WM_MOUSEMOVE, 1, point(150, 120));
    post(WM_LBUTTONUP, 0, point(160, 120));
    post(WM_SIZE, 0, point(300, 200));
    post(WM_CHAR, 27);

    char command_line[] = "";
    const int exit_code = WinMain(win32_double::instance, nullptr, command_line, SW_SHOWDEFAULT);

    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(viewer.gl_context, nullptr);
    EXPECT_EQ(viewer.fog_enabled, 1);
    EXPECT_EQ(viewer.wireframe, 1);
    EXPECT_EQ(viewer.key_level, 0.6f);
    // The trackball, the paint bracket and the size hold never acted.
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.dragging, 0);
    EXPECT_TRUE(
        win32_double::calls_named({"SetCapture", "ReleaseCapture", "BeginPaint", "SetWindowPos"})
            .empty());
    // Destruction skips the context it never had and still ends the loop.
    EXPECT_TRUE(win32_double::calls_named({"wglDeleteContext"}).empty());
    EXPECT_TRUE(
        same_sequence({"PostQuitMessage(0)"}, win32_double::calls_named({"PostQuitMessage"})));
    EXPECT_EQ(viewer.idle_function, nullptr);
}

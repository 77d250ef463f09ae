// window_proc against the recording double: every row of the message table, with the window
// ready (a GL context) and not, the creation and destruction sequences, keys and key_level.
#include "app/window_proc.h"
#include "gl_fixture.h"
#include "interaction/trackball.h"
#include "redraw/redraw.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <string>
#include <vector>

namespace {

using win32_double::calls_named;
using win32_double::default_result;
using win32_double::log;
using win32_double::point;
using win32_double::script;
using win32_double::window;

std::string def(const char *message, WPARAM wparam, LPARAM lparam) {
    return std::string("DefWindowProcA(") + message + ", " + std::to_string(wparam) + ", " +
           std::to_string(lparam) + ")";
}

class WindowProcTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        win32_double::reset();
    }

    // Registers the class and creates the window as WinMain does, then forgets the log; with
    // `context` false wglCreateContext fails, which leaves the window not ready.
    static void create_window(bool context = true) {
        script().create_context_fails = !context;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = window_proc;
        wc.lpszClassName = viewer.window_class_name;
        RegisterClassA(&wc);
        ASSERT_EQ(CreateWindowExA(0, viewer.window_class_name, viewer.window_title, 0, 50, 50,
                                  viewer.window_width, viewer.window_height, nullptr, nullptr,
                                  win32_double::instance, nullptr),
                  window);
        ASSERT_EQ(viewer.gl_context != nullptr, context);
        viewer.idle_function = nullptr;
        log().clear();
    }

    static LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return window_proc(window, message, wparam, lparam);
    }

    static bool frame_requested() { return viewer.idle_function == idle_redraw; }
};

bool is_identity(const float m[16]) {
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    return true;
}

// ==== Creation and destruction ====

TEST_F(WindowProcTest, CreationTakesTheResourcesInOrderAndSetsUpTheScene) {
    EXPECT_EQ(send(WM_CREATE), 0);
    const std::vector<std::string> expected = {
        "SetTimer(window, 1, 100, null)",
        "GetDC(window)",
        "ChoosePixelFormat(dc, 0x25, 16)",
        "SetPixelFormat(dc, 7, pfd)",
        "GetPixelFormat(dc)",
        "DescribePixelFormat(dc, 7, 40)",
        "wglCreateContext(dc)",
        "wglMakeCurrent(dc, glrc)",
    };
    EXPECT_TRUE(same_sequence(expected, log()));
    EXPECT_EQ(viewer.device_context, win32_double::device_context);
    EXPECT_EQ(viewer.gl_context, win32_double::gl_context);
    EXPECT_TRUE(is_identity(viewer.model_transform)); // init_scene ran
}

TEST_F(WindowProcTest, CreationRealisesThePaletteBeforeTheContextExists) {
    script().described.dwFlags = PFD_NEED_PALETTE;
    script().described.cColorBits = 1;
    script().described.cRedBits = 1;
    send(WM_CREATE);
    const std::vector<std::string> expected = {
        "SetPixelFormat(dc, 7, pfd)", "CreatePalette(2)",     "SelectPalette(dc, palette, 0)",
        "RealizePalette(dc)",         "wglCreateContext(dc)",
    };
    EXPECT_TRUE(
        same_sequence(expected, calls_named({"SetPixelFormat", "CreatePalette", "SelectPalette",
                                             "RealizePalette", "wglCreateContext"})));
    EXPECT_EQ(viewer.palette, win32_double::palette);
}

TEST_F(WindowProcTest, CreationGoesOnWithoutAContext) {
    script().create_context_fails = true;
    EXPECT_EQ(send(WM_CREATE), 0);
    EXPECT_EQ(viewer.gl_context, nullptr);
    EXPECT_EQ(log().back(), "wglMakeCurrent(dc, null)");
    EXPECT_TRUE(is_identity(viewer.model_transform));
}

TEST_F(WindowProcTest, DestructionReleasesEverythingAndPostsQuit) {
    create_window();
    viewer.idle_function = idle_redraw;
    bool idle_cleared_before_release = false;
    script().on_call = [&](const std::string &call) {
        if (call == "ReleaseDC(window, dc)")
            idle_cleared_before_release = viewer.idle_function == nullptr;
    };
    EXPECT_EQ(send(WM_DESTROY), 0);
    EXPECT_TRUE(idle_cleared_before_release);
    const std::vector<std::string> expected = {
        "wglMakeCurrent(null, null)",
        "wglDeleteContext(glrc)",
        "ReleaseDC(window, dc)",
        "PostQuitMessage(0)",
    };
    EXPECT_TRUE(same_sequence(expected, log()));
    EXPECT_EQ(viewer.idle_function, nullptr);
}

TEST_F(WindowProcTest, DestructionWithoutAContextSkipsItsRelease) {
    create_window(false);
    viewer.idle_function = idle_redraw;
    EXPECT_EQ(send(WM_DESTROY), 0);
    EXPECT_TRUE(same_sequence({"ReleaseDC(window, dc)", "PostQuitMessage(0)"}, log()));
    EXPECT_EQ(viewer.idle_function, nullptr);
}

// ==== Size and paint ====

TEST_F(WindowProcTest, SizeIsHeldAtTheWindowSize) {
    create_window();
    EXPECT_EQ(send(WM_SIZE, 2, point(1200, 900)), 0); // maximised
    EXPECT_TRUE(same_sequence({"SetWindowPos(window, null, 80, 80, 614, 614, 2)"}, log()));
}

TEST_F(WindowProcTest, SizeWithoutAContextIsLeftToTheDefault) {
    create_window(false);
    const LPARAM size = point(300, 200);
    EXPECT_EQ(send(WM_SIZE, 0, size), default_result);
    EXPECT_TRUE(same_sequence({def("WM_SIZE", 0, size)}, log()));
}

TEST_F(WindowProcTest, PaintValidatesAndRequestsAFrame) {
    create_window();
    EXPECT_EQ(send(WM_PAINT), 0);
    EXPECT_TRUE(same_sequence({"BeginPaint(window)", "EndPaint(window, dc)"}, log()));
    EXPECT_TRUE(frame_requested());
}

TEST_F(WindowProcTest, PaintWithoutAContextIsLeftToTheDefault) {
    create_window(false);
    EXPECT_EQ(send(WM_PAINT), default_result);
    EXPECT_TRUE(same_sequence({def("WM_PAINT", 0, 0)}, log()));
    EXPECT_FALSE(frame_requested());
}

// ==== Keys ====

TEST_F(WindowProcTest, EscapeDestroysTheWindowAndRequestsNoFrame) {
    create_window();
    EXPECT_EQ(send(WM_CHAR, 27), 0);
    const std::vector<std::string> expected = {
        "DestroyWindow(window)",  "send(WM_DESTROY)",      "wglMakeCurrent(null, null)",
        "wglDeleteContext(glrc)", "ReleaseDC(window, dc)", "PostQuitMessage(0)",
    };
    EXPECT_TRUE(same_sequence(expected, log()));
    EXPECT_EQ(viewer.idle_function, nullptr);
}

TEST_F(WindowProcTest, EscapeWorksWithoutAContext) {
    create_window(false);
    EXPECT_EQ(send(WM_CHAR, 27), 0);
    EXPECT_TRUE(same_sequence({"DestroyWindow(window)", "send(WM_DESTROY)", "ReleaseDC(window, dc)",
                               "PostQuitMessage(0)"},
                              log()));
}

TEST_F(WindowProcTest, FAndPToggleToExactlyZeroOrOneAndRequestAFrameEachTime) {
    for (const bool context : {true, false}) {
        SCOPED_TRACE(context ? "with a context" : "without a context");
        viewer = ViewerState{};
        win32_double::reset();
        create_window(context);
        struct {
            WPARAM key;
            int *field;
        } const toggles[] = {{'f', &viewer.fog_enabled}, {'p', &viewer.wireframe}};
        for (const auto &toggle : toggles) {
            *toggle.field = 5; // on, but not 1
            for (const int expected : {0, 1, 0}) {
                viewer.idle_function = nullptr;
                EXPECT_EQ(send(WM_CHAR, toggle.key), 0);
                EXPECT_EQ(*toggle.field, expected);
                EXPECT_TRUE(frame_requested());
            }
        }
        EXPECT_TRUE(log().empty()); // no platform call at all
    }
}

TEST_F(WindowProcTest, OtherCharactersGoToTheDefaultUntouched) {
    create_window();
    for (const WPARAM key : {WPARAM{'F'}, WPARAM{'P'}, WPARAM{'J'}, WPARAM{'K'}, WPARAM{'a'},
                             WPARAM{' '}, WPARAM{13}, WPARAM{'f' + 0x100}}) {
        SCOPED_TRACE(key);
        log().clear();
        EXPECT_EQ(send(WM_CHAR, key, 0x10001), default_result);
        EXPECT_TRUE(same_sequence({def("WM_CHAR", key, 0x10001)}, log()));
        EXPECT_FALSE(frame_requested());
    }
    EXPECT_EQ(viewer.fog_enabled, 0);
    EXPECT_EQ(viewer.wireframe, 0);
    EXPECT_EQ(viewer.key_level, 0.55f);
}

TEST_F(WindowProcTest, JStepsKeyLevelUpToAnInclusiveCeiling) {
    create_window();
    float previous = viewer.key_level;
    for (int press = 1; press <= 10; ++press) {
        viewer.idle_function = nullptr;
        EXPECT_EQ(send(WM_CHAR, 'j'), 0);
        EXPECT_TRUE(frame_requested());
        EXPECT_NEAR(viewer.key_level - previous, 0.05f, 1e-6f) << "press " << press;
        previous = viewer.key_level;
    }
    EXPECT_EQ(viewer.key_level, 1.05f); // ten presses from 0.55 reach the ceiling exactly
    send(WM_CHAR, 'j');
    EXPECT_EQ(viewer.key_level, 1.05f);
}

// Ten presses of "k" from 0.55 leave about 0.05, not 0.01: the rounding of each step keeps the
// tenth difference a hair above 0.01, so the floor needs an eleventh press.
TEST_F(WindowProcTest, KNeedsElevenPressesToReachTheFloor) {
    create_window();
    for (int press = 1; press <= 10; ++press)
        send(WM_CHAR, 'k');
    EXPECT_NEAR(viewer.key_level, 0.05f, 1e-6f);
    EXPECT_GT(viewer.key_level, 0.01f);
    viewer.idle_function = nullptr;
    EXPECT_EQ(send(WM_CHAR, 'k'), 0);
    EXPECT_EQ(viewer.key_level, 0.01f);
    EXPECT_TRUE(frame_requested());
    send(WM_CHAR, 'k');
    EXPECT_EQ(viewer.key_level, 0.01f);
}

TEST_F(WindowProcTest, JFromTheFloorGivesTheFloatNearestPointZeroSix) {
    create_window();
    viewer.key_level = 0.01f;
    send(WM_CHAR, 'j');
    EXPECT_EQ(viewer.key_level, 0.06f);
}

// ==== Pointer ====

TEST_F(WindowProcTest, PointerCoordinatesAreSigned16Bit) {
    create_window();
    const struct {
        int x, y;
    } points[] = {{-5, -300}, {32767, -32768}, {-32768, 32767}, {0, 0}, {613, 613}};
    for (const auto &p : points) {
        SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
        viewer.press_x = viewer.press_y = 12345;
        send(WM_LBUTTONDOWN, 1, point(p.x, p.y));
        EXPECT_EQ(viewer.press_x, p.x);
        EXPECT_EQ(viewer.press_y, p.y);
    }
}

TEST_F(WindowProcTest, ButtonDownCapturesThenStartsTheTrackball) {
    create_window();
    viewer.animate = 1;
    int spin_at_capture = -1;
    script().on_call = [&](const std::string &) { spin_at_capture = viewer.spin_active; };
    EXPECT_EQ(send(WM_LBUTTONDOWN, 1, point(-5, -300)), 0);
    EXPECT_TRUE(same_sequence({"SetCapture(window)"}, log()));
    EXPECT_EQ(spin_at_capture, 0); // captured before the trackball starts
    EXPECT_EQ(viewer.spin_active, 1);
    EXPECT_EQ(viewer.animate, 0);
    EXPECT_EQ(viewer.press_x, -5);
    EXPECT_EQ(viewer.press_y, -300);
}

TEST_F(WindowProcTest, MoveReachesTheTrackballThenTheDefault) {
    create_window();
    send(WM_LBUTTONDOWN, 1, point(307, 307));
    log().clear();
    viewer.idle_function = nullptr;
    const LPARAM outside = point(-40, -300);
    EXPECT_EQ(send(WM_MOUSEMOVE, 1, outside), default_result);
    EXPECT_TRUE(same_sequence({def("WM_MOUSEMOVE", 1, outside)}, log()));
    float expected[3];
    trackball_point(-40, -300, viewer.window_width, viewer.window_height, expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(viewer.last_point[i], expected[i]);
    EXPECT_TRUE(frame_requested());
}

TEST_F(WindowProcTest, MoveWithoutADragOnlyReachesTheDefault) {
    create_window();
    const float angle = viewer.spin_angle;
    EXPECT_EQ(send(WM_MOUSEMOVE, 0, point(10, 20)), default_result);
    EXPECT_EQ(viewer.spin_angle, angle);
    EXPECT_FALSE(frame_requested());
}

TEST_F(WindowProcTest, ButtonUpReleasesThenStopsTheTrackball) {
    create_window();
    send(WM_LBUTTONDOWN, 1, point(-5, -300));
    log().clear();
    int dragging_at_release = -1;
    script().on_call = [&](const std::string &) { dragging_at_release = viewer.dragging; };
    // Released where it was pressed, negative coordinates and all: a click stops the spin.
    EXPECT_EQ(send(WM_LBUTTONUP, 0, point(-5, -300)), 0);
    EXPECT_TRUE(same_sequence(
        {"ReleaseCapture()", "send(WM_CAPTURECHANGED)", def("WM_CAPTURECHANGED", 0, 0)}, log()));
    EXPECT_EQ(dragging_at_release, 1); // released before the trackball stops
    script().on_call = nullptr;
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.animate, 0);

    send(WM_LBUTTONDOWN, 1, point(100, 100));
    send(WM_LBUTTONUP, 0, point(-5, -300)); // released elsewhere: it keeps spinning
    EXPECT_EQ(viewer.spin_active, 1);
    EXPECT_EQ(viewer.animate, 1);
}

// Focus taken mid-drag (Alt-Tab) and the button let go elsewhere: the release never comes. The
// drag ends where it was last seen, and a move without the button never turns the model.
TEST_F(WindowProcTest, ADragWhoseReleaseIsLostEndsAtItsLastPoint) {
    create_window();
    send(WM_LBUTTONDOWN, MK_LBUTTON, point(100, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, point(140, 100));
    const float angle = viewer.spin_angle;
    EXPECT_EQ(send(WM_MOUSEMOVE, 0, point(300, 200)), default_result);
    EXPECT_EQ(viewer.dragging, 0);
    EXPECT_EQ(viewer.spin_angle, angle);
    EXPECT_EQ(viewer.animate, 1); // ended away from the press: it spins

    // Back at the press pixel when the capture goes: a click, whatever the pointer does next.
    send(WM_LBUTTONDOWN, MK_LBUTTON, point(100, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, point(140, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, point(100, 100));
    EXPECT_EQ(send(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(win32_double::other_window)),
              default_result);
    EXPECT_EQ(viewer.spin_active, 0);
    send(WM_MOUSEMOVE, 0, point(300, 200));
    EXPECT_EQ(viewer.spin_angle, 0.0f);

    // The button-up's own ReleaseCapture loses nothing: its point decides.
    send(WM_LBUTTONDOWN, MK_LBUTTON, point(100, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, point(140, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, point(100, 100));
    send(WM_LBUTTONUP, 0, point(120, 100));
    EXPECT_EQ(viewer.spin_active, 1);
    EXPECT_EQ(viewer.animate, 1);
}

TEST_F(WindowProcTest, PointerMessagesWithoutAContextGoToTheDefault) {
    create_window(false);
    const LPARAM at = point(-5, -300);
    EXPECT_EQ(send(WM_LBUTTONDOWN, 1, at), default_result);
    EXPECT_EQ(send(WM_MOUSEMOVE, 1, at), default_result);
    EXPECT_EQ(send(WM_LBUTTONUP, 0, at), default_result);
    const std::vector<std::string> expected = {
        def("WM_LBUTTONDOWN", 1, at),
        def("WM_MOUSEMOVE", 1, at),
        def("WM_LBUTTONUP", 0, at),
    };
    EXPECT_TRUE(same_sequence(expected, log()));
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.press_x, 0);
    EXPECT_FALSE(frame_requested());
}

// ==== Palette ====

TEST_F(WindowProcTest, PaletteMessagesRealiseThePaletteAgainWithOrWithoutAContext) {
    const std::vector<std::string> realise = {
        "UnrealizeObject(palette)",
        "SelectPalette(dc, palette, 0)",
        "RealizePalette(dc)",
    };
    for (const bool context : {true, false}) {
        SCOPED_TRACE(context ? "with a context" : "without a context");
        viewer = ViewerState{};
        win32_double::reset();
        create_window(context);
        viewer.palette = win32_double::palette;

        EXPECT_EQ(send(WM_QUERYNEWPALETTE), TRUE);
        EXPECT_TRUE(same_sequence(realise, log()));
        EXPECT_TRUE(frame_requested());

        log().clear();
        viewer.idle_function = nullptr;
        const auto other = reinterpret_cast<WPARAM>(win32_double::other_window);
        EXPECT_EQ(send(WM_PALETTECHANGED, other), 0);
        EXPECT_TRUE(same_sequence(realise, log()));
        EXPECT_TRUE(frame_requested());
    }
}

TEST_F(WindowProcTest, ItsOwnPaletteChangeIsLeftToTheDefault) {
    create_window();
    viewer.palette = win32_double::palette;
    const auto self = reinterpret_cast<WPARAM>(window);
    EXPECT_EQ(send(WM_PALETTECHANGED, self), default_result);
    EXPECT_TRUE(same_sequence({def("WM_PALETTECHANGED", self, 0)}, log()));
    EXPECT_FALSE(frame_requested());
}

TEST_F(WindowProcTest, PaletteMessagesWithoutAPaletteGoToTheDefault) {
    create_window();
    const auto other = reinterpret_cast<WPARAM>(win32_double::other_window);
    EXPECT_EQ(send(WM_QUERYNEWPALETTE), default_result);
    EXPECT_EQ(send(WM_PALETTECHANGED, other), default_result);
    EXPECT_TRUE(same_sequence({def("WM_QUERYNEWPALETTE", 0, 0), def("WM_PALETTECHANGED", other, 0)},
                              log()));
    EXPECT_FALSE(frame_requested());
}

// ==== Everything else ====

TEST_F(WindowProcTest, TimerAndUnknownMessagesGoToTheDefaultAndChangeNothing) {
    create_window();
    EXPECT_EQ(send(WM_TIMER, 1), default_result);
    EXPECT_EQ(send(0x0400, 7, 9), default_result); // WM_USER
    EXPECT_TRUE(same_sequence({def("WM_TIMER", 1, 0), def("0x0400", 7, 9)}, log()));
    EXPECT_FALSE(frame_requested());
    EXPECT_EQ(viewer.spin_active, 0);
    EXPECT_EQ(viewer.fog_enabled, 0);
}

TEST_F(WindowProcTest, CloseIsLeftToTheDefaultWhichDestroysTheWindow) {
    create_window();
    EXPECT_EQ(send(WM_CLOSE), default_result);
    const std::vector<std::string> expected = {
        def("WM_CLOSE", 0, 0),        "DestroyWindow(window)",  "send(WM_DESTROY)",
        "wglMakeCurrent(null, null)", "wglDeleteContext(glrc)", "ReleaseDC(window, dc)",
        "PostQuitMessage(0)",
    };
    EXPECT_TRUE(same_sequence(expected, log()));
}

} // namespace

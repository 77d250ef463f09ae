// WinMain against the recording double: the class, the information box, the window, and the loop
// that must leave every waiting message ahead of the next frame.
#include "app/window_proc.h"
#include "gl_fixture.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using win32_double::log;
using win32_double::post;
using win32_double::script;

int idle_calls = 0;
std::function<void(int)> on_idle;
constexpr int idle_limit = 10;

// Stands in for idle_redraw: it logs each call, lets a test post input "during a frame", and takes
// itself out after a few calls so that a faulty loop cannot spin for ever.
void test_idle() {
    ++idle_calls;
    log().push_back("idle " + std::to_string(idle_calls));
    if (on_idle)
        on_idle(idle_calls);
    if (idle_calls >= idle_limit)
        viewer.idle_function = nullptr;
}

// WM_CREATE runs init_scene, so every run of WinMain needs a current GL context.
class WinMainTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        win32_double::reset();
        idle_calls = 0;
        on_idle = nullptr;
        // Frames only on request: a fault that installs idle_redraw where none belongs then
        // shows as one stray frame instead of drawing for ever.
        viewer.animate = 0;
    }

    static int run(int show = SW_SHOWDEFAULT) {
        char command_line[] = "";
        return WinMain(win32_double::instance, nullptr, command_line, show);
    }

    // The log from the end of the first paint on: what the loop did.
    static std::vector<std::string> loop_log() {
        const auto &all = log();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == "EndPaint(window, dc)")
                return {all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end()};
        return {};
    }
};

const std::string peek = "PeekMessageA(null, 0, 0, 0)";
const std::string get = "GetMessageA(null, 0, 0)";
const std::vector<std::string> destroy = {
    "DestroyWindow(window)",  "send(WM_DESTROY)",      "wglMakeCurrent(null, null)",
    "wglDeleteContext(glrc)", "ReleaseDC(window, dc)", "PostQuitMessage(0)",
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(WinMainTest, StartsUpInTheDocumentedOrder) {
    post(WM_QUIT);
    EXPECT_EQ(run(SW_SHOWNORMAL), 0);

    const std::vector<std::string> expected = {
        "LoadIconA(instance, 101)",
        "LoadCursorA(null, 32512)",
        "RegisterClassA(0x23, proc, 0, 0, instance, icon, cursor, null, null, \"OpenGL\")",
        "MessageBoxA(null, \" mouse: touch the window image for movement----- \", "
        "\"soft by Veldrane - helicoid-viewer@example.org \", 0)",
        "GetSystemMetrics(1)",
        "GetSystemMetrics(1)",
        "CreateWindowExA(0, \"OpenGL\", \" soft by Veldrane\", 0x06CF0000, 50, 50, 614, 614, null, "
        "null, instance, null)",
        "send(WM_CREATE)",
        "SetTimer(window, 1, 100, null)",
        "GetDC(window)",
        "ChoosePixelFormat(dc, 0x25, 16)",
        "SetPixelFormat(dc, 7, pfd)",
        "GetPixelFormat(dc)",
        "DescribePixelFormat(dc, 7, 40)",
        "wglCreateContext(dc)",
        "wglMakeCurrent(dc, glrc)",
        "ShowWindow(window, 1)",
        "UpdateWindow(window)",
        "send(WM_PAINT)",
        "BeginPaint(window)",
        "EndPaint(window, dc)",
        peek, // the paint installed idle_redraw; the waiting quit message goes first
        get,
    };
    EXPECT_TRUE(same_sequence(expected, log()));
    EXPECT_EQ(win32_double::registered_class().lpfnWndProc, &window_proc);
}

TEST_F(WinMainTest, PassesTheShowCommandThrough) {
    post(WM_QUIT);
    run(SW_SHOWDEFAULT);
    EXPECT_TRUE(same_sequence({"ShowWindow(window, 10)", "UpdateWindow(window)"},
                              win32_double::calls_named({"ShowWindow", "UpdateWindow"})));
}

TEST_F(WinMainTest, WindowSideIsFourFifthsOfTheScreenHeightWhateverTheWidth) {
    const struct {
        int width, height, side;
    } screens[] = {{1024, 768, 614},  {1366, 768, 614},  {1280, 1024, 819},
                   {1920, 1080, 864}, {3840, 1080, 864}, {1920, 1200, 960}};
    for (const auto &screen : screens) {
        SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
        viewer = ViewerState{};
        win32_double::reset();
        script().screen_width = screen.width;
        script().screen_height = screen.height;
        post(WM_QUIT);
        run();
        EXPECT_EQ(viewer.window_width, screen.side);
        EXPECT_EQ(viewer.window_height, screen.side);
        // The width is never consulted: only SM_CYSCREEN (1), once for each side.
        EXPECT_TRUE(same_sequence({"GetSystemMetrics(1)", "GetSystemMetrics(1)"},
                                  win32_double::calls_named({"GetSystemMetrics"})));
        const std::string size = std::to_string(screen.side);
        EXPECT_NE(win32_double::calls_named({"CreateWindowExA"})
                      .at(0)
                      .find("50, 50, " + size + ", " + size + ","),
                  std::string::npos);
    }
}

TEST_F(WinMainTest, IdleRunsOnlyOnAnEmptyQueueAndInputGoesFirst) {
    viewer.idle_function = test_idle; // request_redraw keeps an installed idle function
    on_idle = [](int call) {
        if (call == 2)
            post(WM_TIMER, 1);
        if (call == 3)
            post(WM_CHAR, 27);
    };
    EXPECT_EQ(run(), 0);

    const std::vector<std::string> expected =
        std::vector<std::string>{
            peek,
            "idle 1",
            peek,
            "idle 2",
            peek, // the timer message arrived during frame 2: it is handled before frame 3
            get,
            "TranslateMessage(WM_TIMER)",
            "DispatchMessageA(WM_TIMER, 1, 0)",
            "DefWindowProcA(WM_TIMER, 1, 0)",
            peek,
            "idle 3",
            peek,
            get,
            "TranslateMessage(WM_CHAR)",
            "DispatchMessageA(WM_CHAR, 27, 0)",
        } +
        destroy + std::vector<std::string>{get};
    EXPECT_TRUE(same_sequence(expected, loop_log()));
}

TEST_F(WinMainTest, RetrievesOneMessagePerPassAndPeeksBeforeEveryIdleCall) {
    viewer.idle_function = test_idle;
    post(WM_TIMER, 1);
    post(WM_TIMER, 1);
    on_idle = [](int) { post(WM_CHAR, 27); };
    EXPECT_EQ(run(), 0);

    const std::vector<std::string> expected =
        std::vector<std::string>{
            peek,
            get,
            "TranslateMessage(WM_TIMER)",
            "DispatchMessageA(WM_TIMER, 1, 0)",
            "DefWindowProcA(WM_TIMER, 1, 0)",
            peek,
            get,
            "TranslateMessage(WM_TIMER)",
            "DispatchMessageA(WM_TIMER, 1, 0)",
            "DefWindowProcA(WM_TIMER, 1, 0)",
            peek,
            "idle 1",
            peek,
            get,
            "TranslateMessage(WM_CHAR)",
            "DispatchMessageA(WM_CHAR, 27, 0)",
        } +
        destroy + std::vector<std::string>{get};
    EXPECT_TRUE(same_sequence(expected, loop_log()));
}

TEST_F(WinMainTest, WithoutAnIdleFunctionNothingRunsBetweenMessages) {
    viewer.idle_function = test_idle;
    // The idle function takes itself out on its first call, and input arrives during that call...
    on_idle = [](int) {
        viewer.idle_function = nullptr;
        post(WM_TIMER, 1);
        post(WM_TIMER, 1);
        post(WM_CHAR, 27);
    };
    EXPECT_EQ(run(), 0);

    // ...and from then on the loop only retrieves and dispatches: no peeking, no idle call.
    const std::vector<std::string> expected =
        std::vector<std::string>{
            peek,
            "idle 1",
            get,
            "TranslateMessage(WM_TIMER)",
            "DispatchMessageA(WM_TIMER, 1, 0)",
            "DefWindowProcA(WM_TIMER, 1, 0)",
            get,
            "TranslateMessage(WM_TIMER)",
            "DispatchMessageA(WM_TIMER, 1, 0)",
            "DefWindowProcA(WM_TIMER, 1, 0)",
            get,
            "TranslateMessage(WM_CHAR)",
            "DispatchMessageA(WM_CHAR, 27, 0)",
        } +
        destroy + std::vector<std::string>{get};
    EXPECT_TRUE(same_sequence(expected, loop_log()));
}

TEST_F(WinMainTest, TheQuitMessageEndsTheLoopWithItsCode) {
    post(WM_QUIT, 3);
    EXPECT_EQ(run(), 3);
    EXPECT_TRUE(
        same_sequence({}, win32_double::calls_named({"TranslateMessage", "DispatchMessageA"})));
}

TEST_F(WinMainTest, AGetMessageErrorEndsTheLoopWithTheLastMessagesWparam) {
    viewer.idle_function = test_idle;
    on_idle = [](int) { viewer.idle_function = nullptr; };
    post(WM_CHAR, 'x');
    script().get_message_failure = -1;
    EXPECT_EQ(run(), 'x');
    EXPECT_TRUE(same_sequence({"DispatchMessageA(WM_CHAR, 120, 0)"},
                              win32_double::calls_named({"DispatchMessageA"})));
}

TEST_F(WinMainTest, AGetMessageErrorBeforeAnyMessageReturnsZero) {
    viewer.idle_function = test_idle;
    on_idle = [](int) { viewer.idle_function = nullptr; };
    script().get_message_failure = -1;
    EXPECT_EQ(run(), 0); // the message record starts zeroed
    EXPECT_TRUE(same_sequence({peek, "idle 1", get}, loop_log()));
}

TEST_F(WinMainTest, ClassRegistrationFailureSaysSoAndEndsWithOne) {
    script().register_class_fails = true;
    EXPECT_EQ(run(), 1);
    const std::vector<std::string> expected = {
        "LoadIconA(instance, 101)",
        "LoadCursorA(null, 32512)",
        "RegisterClassA(0x23, proc, 0, 0, instance, icon, cursor, null, null, \"OpenGL\")",
        "MessageBoxA(null, \"The window class could not be registered.\", \"Error\", 16)",
    };
    EXPECT_TRUE(same_sequence(expected, log()));
}

TEST_F(WinMainTest, WindowCreationFailureSaysSoAndEndsWithOne) {
    script().create_window_fails = true;
    post(WM_QUIT); // would end a loop that should never run
    EXPECT_EQ(run(), 1);
    const auto boxes = win32_double::calls_named({"MessageBoxA"});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "MessageBoxA(null, \"The window could not be created.\", \"Error\", 16)");
    EXPECT_EQ(log().back(), boxes[1]);
    EXPECT_TRUE(same_sequence({}, win32_double::calls_named({"ShowWindow", "UpdateWindow",
                                                             "PeekMessageA", "GetMessageA"})));
}

} // namespace

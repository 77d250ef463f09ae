// SDL's input as the window procedure sees it: characters from keys, the captured drag, and
// resizes answered from inside WM_SIZE, fed through SDL's own queue as SDL delivers them, and for
// real through the X server. The rules behind them are the core's (tests/win32_core).
#include "layer_fixture.h"

#include <SDL_syswm.h>

#include <algorithm>

namespace layer_test {
namespace {

using Keyboard = LayerTest;
using Pointer = LayerTest;
using Resize = LayerTest;

LRESULT CALLBACK capture_on_press(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN)
        SetCapture(hwnd);
    if (message == WM_LBUTTONUP)
        ReleaseCapture();
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// SDL's text comes after its key-down and goes with it; SDL has none for Escape, whose character
// the core makes from the key.
TEST_F(Keyboard, EachKeyDownAndRepeatGetsItsCharacterAfterIt) {
    const HWND hwnd = create_shown_window();
    const auto press = [&](SDL_Keycode key, const char *text, bool repeat = false) {
        push_key(hwnd, key, true, repeat, text != nullptr && text[0] == 'F' ? KMOD_LSHIFT : 0);
        if (text != nullptr)
            push_text(hwnd, text);
    };
    press(SDLK_f, "F");
    press(SDLK_ESCAPE, nullptr);
    press(SDLK_j, "j");
    press(SDLK_j, "j", true);
    push_key(hwnd, SDLK_j, false);
    dispatch_all();
    expect_log({"dispatch WM_KEYDOWN 0x46", "dispatch WM_CHAR 70", "dispatch WM_KEYDOWN 0x1b",
                "dispatch WM_CHAR 27", "dispatch WM_KEYDOWN 0x4a", "dispatch WM_CHAR 106",
                "dispatch WM_KEYDOWN 0x4a repeat", "dispatch WM_CHAR 106",
                "dispatch WM_KEYUP 0x4a"});

    // Characters come from TranslateMessage, not from the queue.
    press(SDLK_k, "k");
    push_key(hwnd, SDLK_k, false);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    expect_log({"dispatch WM_KEYDOWN 0x4b", "dispatch WM_KEYUP 0x4b"});
}

TEST_F(Keyboard, RealKeysFromTheXServer) {
    const HWND hwnd = create_shown_window();
    std::vector<WPARAM> chars;
    handler = [&chars](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_CHAR)
            chars.push_back(wparam);
        return DefWindowProcA(window, message, wparam, lparam);
    };
    run("xdotool windowfocus --sync " + std::to_string(x11_window(hwnd)) +
        " key --delay 20 f shift+f Escape");
    ASSERT_TRUE(dispatch_until([&chars] { return chars.size() >= 3; }));
    EXPECT_EQ(chars, (std::vector<WPARAM>{'f', 'F', 27}));
}

TEST_F(Pointer, RealDragLeavesTheWindowWhileCaptured) {
    const HWND hwnd = create_shown_window(); // client area at (100, 100) on the screen
    bool released = false;
    handler = [&released](HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        released = released || message == WM_LBUTTONUP;
        return capture_on_press(window, message, wparam, lparam);
    };
    // A person is slower than xdotool: the press is handled before the pointer leaves.
    run("xdotool windowfocus --sync " + std::to_string(x11_window(hwnd)) +
        " mousemove 120 130 mousedown 1");
    ASSERT_TRUE(dispatch_until([this] {
        return std::find(log.begin(), log.end(), "dispatch WM_LBUTTONDOWN 20,30") != log.end();
    }));
    run("xdotool mousemove 90 95 mousemove 70 60 mouseup 1");
    ASSERT_TRUE(dispatch_until([&released] { return released; })) << ::testing::PrintToString(log);
    const auto press = std::find(log.begin(), log.end(), "dispatch WM_LBUTTONDOWN 20,30");
    ASSERT_NE(press, log.end()) << ::testing::PrintToString(log);
    log.erase(log.begin(), press + 1);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "dispatch WM_MOUSEMOVE -30,-40");
    EXPECT_EQ(log[log.size() - 2], "dispatch WM_LBUTTONUP -30,-40");
    EXPECT_EQ(log.back(), "  send WM_CAPTURECHANGED");
}

// Another client takes the focus mid-drag and the button goes up over it: the capture ends with
// WM_CAPTURECHANGED, SDL really lets the pointer go, and later moves say the button is up.
TEST_F(Pointer, FocusTakenMidDragEndsTheCapture) {
    const HWND hwnd = create_shown_window(); // client area at (100, 100) on the screen
    WPARAM last_move_flags = MK_LBUTTON;
    handler = [&last_move_flags](HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_MOUSEMOVE)
            last_move_flags = wparam;
        return capture_on_press(window, message, wparam, lparam);
    };
    Display *other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const Window thief =
        XCreateSimpleWindow(other, DefaultRootWindow(other), 600, 400, 100, 100, 0, 0, 0);
    XMapWindow(other, thief);
    XSync(other, False);
    run("xdotool windowfocus --sync " + std::to_string(x11_window(hwnd)) +
        " mousemove 120 130 mousedown 1 mousemove 140 130");
    ASSERT_TRUE(dispatch_until([this] { return log.size() >= 2; }))
        << ::testing::PrintToString(log);
    EXPECT_NE(SDL_GetWindowFlags(sdl_win32_sdl_window(hwnd)) & SDL_WINDOW_MOUSE_CAPTURE, 0u);
    log.clear();
    run("xdotool windowfocus --sync " + std::to_string(thief) +
        " mousemove 650 450 mouseup 1 mousemove 150 150");
    ASSERT_TRUE(dispatch_until([this] {
        return std::find(log.begin(), log.end(), "dispatch WM_MOUSEMOVE 50,50") != log.end();
    })) << ::testing::PrintToString(log);
    EXPECT_EQ(log.front(), "send WM_CAPTURECHANGED");
    EXPECT_EQ(last_move_flags & MK_LBUTTON, 0u);
    EXPECT_EQ(SDL_GetWindowFlags(sdl_win32_sdl_window(hwnd)) & SDL_WINDOW_MOUSE_CAPTURE, 0u);
    XDestroyWindow(other, thief);
    XCloseDisplay(other);
}

TEST_F(Pointer, ReleaseCaptureLetsThePointerGoAndTellsTheWindow) {
    const HWND hwnd = create_shown_window();
    run("xdotool windowfocus --sync " + std::to_string(x11_window(hwnd)));
    settle();
    dispatch_all();
    SetCapture(hwnd);
    ASSERT_NE(SDL_GetWindowFlags(sdl_win32_sdl_window(hwnd)) & SDL_WINDOW_MOUSE_CAPTURE, 0u);
    log.clear();
    ReleaseCapture();
    EXPECT_EQ(SDL_GetWindowFlags(sdl_win32_sdl_window(hwnd)) & SDL_WINDOW_MOUSE_CAPTURE, 0u);
    expect_log({"send WM_CAPTURECHANGED"});
}

TEST_F(Resize, ResizeAnsweredBySetWindowPosNestsTheSecondWmSize) {
    const HWND hwnd = create_shown_window();
    handler = [](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message != WM_SIZE)
            return DefWindowProcA(window, message, wparam, lparam);
        SetWindowPos(window, HWND_TOP, 80, 80, 200, 200, SWP_NOMOVE);
        return 0;
    };
    logged_events = {"send"}; // the resize also invalidates (CS_HREDRAW): paints are left out
    push_window_event(hwnd, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 260);
    dispatch_all();
    expect_log({"send WM_SIZE 0 300x260", "  send WM_SIZE 0 200x200"});

    // The same through the X server, which ends at the size the handler set.
    run("xdotool windowsize " + std::to_string(x11_window(hwnd)) + " 320 240");
    ASSERT_TRUE(dispatch_until([this] { return log.size() >= 2; }));
    settle();
    dispatch_all();
    expect_log({"send WM_SIZE 0 320x240", "  send WM_SIZE 0 200x200"});
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(SDL_GetWindowWMInfo(sdl_win32_sdl_window(hwnd), &info), SDL_TRUE);
    XWindowAttributes attributes;
    XSync(info.info.x11.display, False);
    XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes);
    EXPECT_EQ(attributes.width, 200);
    EXPECT_EQ(attributes.height, 200);
}

} // namespace
} // namespace layer_test

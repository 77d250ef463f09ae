// The fixture of the SDL layer's tests: a window class whose procedure records every message it
// gets (through the layer's tracer, so sent and dispatched messages are told apart, indented by
// nesting), helpers that feed SDL's own event queue, and a side-by-side sequence comparison.
#pragma once

#include "platform/sdl/sdl_win32.h"
#include "platform/sdl/test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace layer_test {

using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// "WM_SIZE 0 200x200", "WM_CHAR 102", "WM_KEYDOWN 0x46 repeat", "WM_LBUTTONUP -5,-7", ...
std::string describe(UINT message, WPARAM wparam, LPARAM lparam);

class LayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A hidden window of the recording class; the client area is width by height at (x, y).
    HWND create_window(int x = 100, int y = 100, int width = 200, int height = 200);
    // Shows the window and handles what showing brings (first WM_SIZE, paint), then clears the log.
    HWND create_shown_window();

    // Compares the log with the expected lines, printing both side by side, then clears it.
    void expect_log(const std::vector<std::string> &expected);
    // Waits until the X server has delivered everything caused so far, then moves it into the
    // layer's queues.
    void settle();
    // Retrieves, translates and dispatches until the queue is empty (WM_QUIT included).
    void dispatch_all();
    // Dispatches until `done` holds; gives up after a few seconds of real time.
    bool dispatch_until(const std::function<bool()> &done);

    void push_key(HWND hwnd, SDL_Keycode key, bool down, bool repeat = false,
                  Uint16 mod = KMOD_NONE);
    void push_text(HWND hwnd, const char *text);
    void push_window_event(HWND hwnd, SDL_WindowEventID event, int data1 = 0, int data2 = 0);

    // Runs a shell command (xdotool) and expects it to succeed.
    void run(const std::string &command);
    unsigned long x11_window(HWND hwnd);

public:
    std::vector<std::string> log;
    std::vector<std::string> logged_events = {"send", "dispatch"};
    Handler handler; // what the recording procedure does; DefWindowProcA when empty
    std::vector<HWND> windows;
};

} // namespace layer_test

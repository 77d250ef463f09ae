// The SDL layer's mapping of its events onto the queue: what SDL already holds still goes first,
// and SDL's close requests reach WM_CLOSE. The queue's own rules are the core's, tested on the null
// platform (tests/win32_core).
#include "layer_fixture.h"

namespace layer_test {
namespace {

using Lifecycle = LayerTest;
using Queue = LayerTest;

// GetMessageA right after a peek skips polling the display, but not the events already in SDL's
// queue: input that came in between still goes before the peeked WM_PAINT.
TEST_F(Queue, GetAfterPeekStillTakesInputThatArrivedInBetween) {
    const HWND hwnd = create_shown_window();
    push_window_event(hwnd, SDL_WINDOWEVENT_EXPOSED);
    logged_events = {"get", "peek"};
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    push_key(hwnd, SDLK_x, false);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    expect_log({"peek WM_PAINT", "get WM_KEYUP 0x58"});
}

TEST_F(Lifecycle, CloseRequestGoesThroughWmCloseAndWmDestroyToTheExitCode) {
    handler = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_DESTROY)
            PostQuitMessage(3);
        return DefWindowProcA(hwnd, message, wparam, lparam);
    };
    const auto run_loop = [](MSG &msg) {
        BOOL result;
        while ((result = GetMessageA(&msg, nullptr, 0, 0)) == TRUE) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return result;
    };
    const SDL_EventType close_requests[] = {SDL_WINDOWEVENT, SDL_QUIT};
    for (const SDL_EventType request : close_requests) {
        const HWND hwnd = create_shown_window();
        if (request == SDL_WINDOWEVENT) {
            push_window_event(hwnd, SDL_WINDOWEVENT_CLOSE);
        } else {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        MSG msg;
        EXPECT_EQ(run_loop(msg), FALSE);
        EXPECT_EQ(msg.wParam, 3u);
        EXPECT_EQ(GetDC(hwnd), nullptr);
        expect_log({"dispatch WM_CLOSE", "  send WM_DESTROY"});
    }
}

} // namespace
} // namespace layer_test

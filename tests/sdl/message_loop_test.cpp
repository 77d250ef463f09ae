// Message sequences of the window's life and of the queue: creation, first show and paint, the
// order in which GetMessageA hands messages out, the timer, the close request, and sleeping.
#include "layer_fixture.h"

#include <ctime>

namespace layer_test {
namespace {

using Lifecycle = LayerTest;
using Queue = LayerTest;

double process_cpu_seconds() {
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

TEST_F(Lifecycle, CreateSendsWmCreateFirstShowSizesAndUpdateWindowPaintsOnlyWhenInvalid) {
    logged_events = {"send", "dispatch", "peek"};
    const HWND hwnd = create_window();
    log.push_back("CreateWindowExA returned");
    ShowWindow(hwnd, SW_SHOWNORMAL);
    log.push_back("ShowWindow returned");
    settle();
    MSG msg;
    // A newly shown window is invalid; PM_NOREMOVE leaves WM_PAINT in place.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    UpdateWindow(hwnd); // DefWindowProcA validates
    log.push_back("UpdateWindow returned");
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    UpdateWindow(hwnd);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    DestroyWindow(hwnd);
    log.push_back("DestroyWindow returned");
    expect_log({"send WM_CREATE", "CreateWindowExA returned", "send WM_SIZE 0 200x200",
                "ShowWindow returned", "peek WM_PAINT", "peek WM_PAINT", "send WM_PAINT",
                "UpdateWindow returned", "send WM_DESTROY", "DestroyWindow returned"});
    EXPECT_EQ(GetDC(hwnd), nullptr);
}

TEST_F(Lifecycle, CreateFailsWhenWmCreateAnswersMinusOne) {
    handler = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        return message == WM_CREATE ? -1 : DefWindowProcA(hwnd, message, wparam, lparam);
    };
    EXPECT_EQ(CreateWindowExA(0, "sdl layer test", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, sdl_win32_module(), nullptr),
              nullptr);
    expect_log({"send WM_CREATE", "send WM_DESTROY"});
}

// Outside the subset a call fails whole: an atom read as a class name would be a wild pointer.
TEST_F(Lifecycle, ClassAtomsAndTimerProceduresAreRefused) {
    const HWND hwnd = create_window();
    log.clear();
    EXPECT_EQ(CreateWindowExA(0, MAKEINTRESOURCEA(0xC000), "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                              nullptr, nullptr, sdl_win32_module(), nullptr),
              nullptr);
    EXPECT_EQ(SetTimer(hwnd, 1, 100, [](HWND, UINT, UINT_PTR, DWORD) {}), 0u);
    expect_log({});
}

// The viewer's loop: the idle function runs only while nothing waits, and WM_PAINT keeps coming
// until the window is validated.
TEST_F(Queue, PaintRepeatsUntilValidatedAndIdleRunsOnlyOnAnEmptyQueue) {
    const HWND hwnd = create_window();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    settle();
    log.clear();
    int paints = 0;
    handler = [&paints](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message != WM_PAINT)
            return DefWindowProcA(window, message, wparam, lparam);
        if (++paints == 3) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
        }
        return 0;
    };
    bool idle_installed = true;
    int idle_calls = 0;
    const auto idle = [&] {
        log.push_back("idle");
        if (++idle_calls == 1) { // a key arrives while frames are drawn
            push_key(hwnd, SDLK_j, true);
            push_text(hwnd, "j");
        } else {
            idle_installed = false;
            PostQuitMessage(4);
        }
    };
    MSG msg = {};
    for (;;) {
        while (idle_installed) {
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                break;
            idle();
        }
        if (GetMessageA(&msg, nullptr, 0, 0) != TRUE)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 4u);
    expect_log({"dispatch WM_PAINT", "dispatch WM_PAINT", "dispatch WM_PAINT", "idle",
                "dispatch WM_KEYDOWN 0x4a", "dispatch WM_CHAR 106", "idle"});
}

TEST_F(Queue, OrderIsPostedThenQuitThenInputThenPaintThenTimer) {
    const HWND hwnd = create_window();
    ShowWindow(hwnd, SW_SHOWNORMAL); // invalid until painted
    settle();
    SetTimer(hwnd, 7, 100, nullptr);
    SDL_Delay(150); // the timer is due
    push_key(hwnd, SDLK_a, true);
    push_text(hwnd, "a");
    push_key(hwnd, SDLK_b, true);
    push_text(hwnd, "b");
    logged_events = {"get"};
    log.clear();
    dispatch_all();
    expect_log({"get WM_KEYDOWN 0x41", "get WM_CHAR 97", "get WM_KEYDOWN 0x42", "get WM_CHAR 98",
                "get WM_PAINT", "get WM_TIMER 7"});

    // WM_QUIT waits for the posted WM_CHAR but not for the key-up behind it.
    push_key(hwnd, SDLK_c, true);
    push_text(hwnd, "c");
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    TranslateMessage(&msg);
    push_key(hwnd, SDLK_c, false);
    PostQuitMessage(9);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    expect_log({"get WM_KEYDOWN 0x43", "get WM_CHAR 99", "get WM_QUIT 9", "get WM_KEYUP 0x43"});
}

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

TEST_F(Queue, TimerIsLowPriorityDoesNotPileUpAndDiesWithItsWindow) {
    const HWND hwnd = create_shown_window();
    EXPECT_EQ(SetTimer(hwnd, 1, 100, nullptr), 1u);
    SDL_Delay(350); // three periods go by unserved
    logged_events = {"get", "peek"};
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    expect_log({"peek WM_TIMER 1", "peek WM_TIMER 1", "get WM_TIMER 1"});

    SDL_Delay(150);
    push_window_event(hwnd, SDL_WINDOWEVENT_EXPOSED);
    push_key(hwnd, SDLK_x, false);
    dispatch_all();
    expect_log({"get WM_KEYUP 0x58", "get WM_PAINT", "get WM_TIMER 1"});

    DestroyWindow(hwnd);
    SDL_Delay(150);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
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

// A quiet viewer must not use the processor: GetMessageA sleeps until the next timer tick.
TEST_F(Queue, GetMessageSleepsWhileOnlyTheTimerTicks) {
    const HWND hwnd = create_shown_window();
    SetTimer(hwnd, 1, 100, nullptr);
    const double cpu_before = process_cpu_seconds();
    const Uint64 start = SDL_GetTicks64();
    int ticks = 0;
    MSG msg;
    while (SDL_GetTicks64() - start < 1000) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        ticks += msg.message == WM_TIMER ? 1 : 0;
        DispatchMessageA(&msg);
    }
    const double cpu = process_cpu_seconds() - cpu_before;
    RecordProperty("cpu_ms_per_second_waiting", static_cast<int>(cpu * 1000));
    std::printf("CPU while waiting 1 s with a 100 ms timer: %.1f ms, %d ticks\n", cpu * 1000,
                ticks);
    EXPECT_GE(ticks, 1);
    EXPECT_LT(cpu, 0.1) << "a busy wait uses the whole second";
}

} // namespace
} // namespace layer_test

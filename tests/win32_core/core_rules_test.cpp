// The core's Win32 rules on the null platform: no display, a clock the test moves, scripted
// events. Each rule is a message log against a short expected list. Windows are named A and B;
// a log line is "EVENT MESSAGE ARGS", indented by how deeply the calls nest.
#include "platform/win32_core/null/null_platform.h"
#include "platform/win32_core/report.h"
#include "sequence.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

namespace report = win32_core::report;
using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

std::vector<std::string> log;
std::vector<std::string> logged_events;
Handler handler;
HWND window_a = nullptr;
HWND window_b = nullptr;
int depth = 0;

std::string name(HWND hwnd) {
    return hwnd == nullptr ? "0" : hwnd == window_a ? "A" : hwnd == window_b ? "B" : "C";
}

std::string arguments(UINT message, WPARAM wparam, LPARAM lparam) {
    char text[48] = "";
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR)
        std::snprintf(text, sizeof text, " %u %08lx", static_cast<unsigned>(wparam),
                      static_cast<unsigned long>(static_cast<DWORD>(lparam)));
    else if (message == WM_TIMER || message == WM_QUIT || message == WM_SIZE)
        std::snprintf(text, sizeof text, " %u", static_cast<unsigned>(wparam));
    else if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONUP)
        std::snprintf(text, sizeof text, " %u %d,%d", static_cast<unsigned>(wparam),
                      static_cast<short>(lparam & 0xFFFF), static_cast<short>(lparam >> 16));
    else if (message == WM_CAPTURECHANGED)
        return " " + name(reinterpret_cast<HWND>(lparam));
    return text;
}

void tracer(const char *event, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (std::find(logged_events.begin(), logged_events.end(), event) != logged_events.end())
        log.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + event + " " +
                      name(hwnd) + " " + message_name(message) +
                      arguments(message, wparam, lparam));
}

LRESULT CALLBACK recording_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    ++depth;
    const LRESULT result = handler ? handler(hwnd, message, wparam, lparam)
                                   : DefWindowProcA(hwnd, message, wparam, lparam);
    --depth;
    return result;
}

class CoreRules : public ::testing::Test {
protected:
    void SetUp() override {
        null_platform::reset();
        win32_core::set_tracer(tracer);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = recording_proc;
        wc.lpszClassName = "core rules";
        RegisterClassA(&wc); // fails, harmlessly, for every test but the first
        handler = nullptr;
        window_b = nullptr;
        logged_events = {"send", "dispatch"};
        window_a = shown_window();
        log.clear();
        null_platform::clear_calls();
    }
    void TearDown() override { null_platform::reset(); }

    static HWND shown_window(int x = 10) {
        const HWND hwnd = CreateWindowExA(0, "core rules", "", WS_OVERLAPPEDWINDOW, x, 20, 200, 100,
                                          nullptr, nullptr, nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        return hwnd;
    }
    // The viewer's loop, until WM_QUIT; the exit code.
    static WPARAM run_loop() {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) == TRUE) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return msg.wParam;
    }
    static void dispatch_waiting() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    static void expect_log(const std::vector<std::string> &expected) {
        EXPECT_TRUE(same_sequence(expected, log));
        log.clear();
    }
};

TEST_F(CoreRules, RetrievalOrderIsSentThenPostedThenQuitThenInputThenPaintThenTimer) {
    SetTimer(window_a, 7, 100, nullptr);
    report::contents_lost(window_a);
    null_platform::advance(100);
    report::key(window_a, true, 'A', false, {}, "a");
    report::key(window_a, true, 'B', false, {}, "b");
    handler = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_KEYDOWN && wparam == 'A') // sent at once, inside the call
            SetWindowPos(hwnd, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
        return DefWindowProcA(hwnd, message, wparam, lparam);
    };
    dispatch_waiting();
    expect_log({"dispatch A WM_KEYDOWN 65 00000001", "  send A WM_SIZE 0",
                "dispatch A WM_CHAR 97 00000001", "dispatch A WM_KEYDOWN 66 00000001",
                "dispatch A WM_CHAR 98 00000001", "dispatch A WM_PAINT", "dispatch A WM_TIMER 7"});

    // WM_QUIT waits for the posted WM_CHAR but not for the key-up behind it.
    logged_events = {"get"};
    report::key(window_a, true, 'C', false, {}, "c");
    MSG msg;
    GetMessageA(&msg, nullptr, 0, 0);
    TranslateMessage(&msg);
    report::key(window_a, false, 'C', false, {}, "");
    PostQuitMessage(9);
    EXPECT_EQ(run_loop(), 9u);
    GetMessageA(&msg, nullptr, 0, 0);
    expect_log({"get A WM_KEYDOWN 67 00000001", "get A WM_CHAR 99 00000001", "get 0 WM_QUIT 9",
                "get A WM_KEYUP 67 c0000001"});
}

// A timer that falls behind gives one WM_TIMER and keeps its phase; GetMessageA waits for it
// exactly; it dies with its window.
TEST_F(CoreRules, TimerFallsBehindWithoutPilingUpAndKeepsItsPhase) {
    logged_events = {"get", "peek"};
    SetTimer(window_a, 1, 100, nullptr);
    null_platform::advance(350);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    null_platform::advance(49); // 399: the next tick is at 400, not 450
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    GetMessageA(&msg, nullptr, 0, 0);
    expect_log({"peek A WM_TIMER 1", "get A WM_TIMER 1", "get A WM_TIMER 1"});
    EXPECT_TRUE(same_sequence({"wait 1"}, null_platform::calls()));
    DestroyWindow(window_a);
    null_platform::advance(1000);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// WM_CREATE within CreateWindowExA, the first WM_SIZE when first shown, then WM_PAINT until the
// window is validated; PM_NOREMOVE leaves it in place.
TEST_F(CoreRules, CreateShowThenPaintRepeatsUntilValidated) {
    int paints = 0;
    handler = [&paints](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_PAINT && ++paints < 3)
            return 0; // not validated
        return DefWindowProcA(hwnd, message, wparam, lparam);
    };
    logged_events = {"send", "dispatch", "peek"};
    window_b = CreateWindowExA(0, "core rules", "", WS_OVERLAPPEDWINDOW, 0, 0, 20, 10, nullptr,
                               nullptr, nullptr, nullptr);
    ShowWindow(window_b, SW_SHOWNORMAL);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    dispatch_waiting();
    UpdateWindow(window_b); // valid: no WM_PAINT
    expect_log({"send C WM_CREATE", "send B WM_SIZE 0", "peek B WM_PAINT", "dispatch B WM_PAINT",
                "dispatch B WM_PAINT", "dispatch B WM_PAINT"});
}

// Capture, and the pointer's routing with it: a captured pointer is the capturing window's, in
// its coordinates, with the MK_ flags of the buttons and modifiers.
TEST_F(CoreRules, CaptureTakenRetakenMovedReleasedAndLostOnDestroy) {
    window_b = shown_window(110);
    log.clear();
    null_platform::clear_calls();
    logged_events = {"send", "input"};
    EXPECT_EQ(SetCapture(window_a), nullptr);
    EXPECT_EQ(SetCapture(window_a), window_a); // the same window again: nobody is told
    report::pointer(window_b, WM_MOUSEMOVE, 5, 6, true, {true, false, false});
    report::pointer(nullptr, WM_LBUTTONUP, -3, 300, false, {false, true, false});
    EXPECT_EQ(SetCapture(window_b), window_a);
    ReleaseCapture();
    report::pointer(window_b, WM_LBUTTONDOWN, 200, 5, true, {}); // outside, uncaptured: nowhere
    SetCapture(window_a);
    DestroyWindow(window_a);
    expect_log({"input A WM_MOUSEMOVE 5 105,6", "input A WM_LBUTTONUP 8 -3,300",
                "send A WM_CAPTURECHANGED B", "send B WM_CAPTURECHANGED 0",
                "send A WM_CAPTURECHANGED 0", "send A WM_DESTROY"});
    EXPECT_EQ(win32_core::shared_state().capture, nullptr);
    EXPECT_TRUE(same_sequence({"take pointer anew", "take pointer", "take pointer anew",
                               "let pointer go", "take pointer anew", "let pointer go", "hide"},
                              null_platform::calls()));
    // Uncaptured, consecutive moves merge into the last, as Windows keeps only the latest.
    report::pointer(window_b, WM_MOUSEMOVE, 1, 1, false, {});
    report::pointer(window_b, WM_MOUSEMOVE, 2, 3, false, {});
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.lParam, win32_core::make_lparam(2, 3));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// lParams: repeat count 1, bit 30 the previous state, bit 31 the transition; WM_CHAR carries its
// key-down's. Control characters come from the key; other text may follow the key.
TEST_F(CoreRules, KeyDownRepeatUpAndTheirCharacters) {
    report::key(window_a, true, 'F', false, {}, "f");
    report::key(window_a, true, 'F', true, {}, "f");
    report::key(window_a, false, 'F', false, {}, "");
    report::key(window_a, true, VK_ESCAPE, false, {}, "");
    report::key(window_a, true, 'C', false, {false, true, false}, "");
    report::key(window_a, true, 'C', false, {false, true, true}, ""); // a system key: no char
    report::key(window_a, true, 'E', false, {}, nullptr);             // its text comes later
    report::text(window_a, "\xc3\xa9");
    dispatch_waiting();
    report::text(window_a, "\xe2\x82\xac"); // an input method's: no key waits, beyond Latin-1
    dispatch_waiting();
    expect_log({"dispatch A WM_KEYDOWN 70 00000001", "dispatch A WM_CHAR 102 00000001",
                "dispatch A WM_KEYDOWN 70 40000001", "dispatch A WM_CHAR 102 40000001",
                "dispatch A WM_KEYUP 70 c0000001", "dispatch A WM_KEYDOWN 27 00000001",
                "dispatch A WM_CHAR 27 00000001", "dispatch A WM_KEYDOWN 67 00000001",
                "dispatch A WM_CHAR 3 00000001", "dispatch A WM_KEYDOWN 67 00000001",
                "dispatch A WM_KEYDOWN 69 00000001", "dispatch A WM_CHAR 233 00000001",
                "dispatch A WM_CHAR 63 00000001"});
}

// A close request (one, even when asked twice) goes through WM_CLOSE to DestroyWindow, which
// kills the timers and drops the window's queued messages; WM_CREATE's -1 fails the creation.
TEST_F(CoreRules, CloseAndDestroy) {
    handler = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        if (message == WM_DESTROY)
            PostQuitMessage(3);
        return DefWindowProcA(hwnd, message, wparam, lparam);
    };
    SetTimer(window_a, 1, 100, nullptr);
    null_platform::script([] {
        report::quit_request();
        report::close_request(window_a);
        report::key(window_a, true, 'X', false, {}, "x");
    });
    EXPECT_EQ(run_loop(), 3u);
    expect_log({"dispatch A WM_CLOSE", "  send A WM_DESTROY"});
    EXPECT_EQ(GetDC(window_a), nullptr);
    null_platform::advance(1000);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    handler = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
        return message == WM_CREATE ? -1 : DefWindowProcA(hwnd, message, wparam, lparam);
    };
    EXPECT_EQ(CreateWindowExA(0, "core rules", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    expect_log({"send C WM_CREATE", "send C WM_DESTROY"});
    // Outside the subset a call fails whole: an atom read as a class name would be a wild pointer.
    EXPECT_EQ(CreateWindowExA(0, MAKEINTRESOURCEA(0xC000), "", 0, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(SetTimer(window_b, 1, 100, [](HWND, UINT, UINT_PTR, DWORD) {}), 0u);
}

} // namespace

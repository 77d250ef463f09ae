// The recording window class, the tracer that writes the log, and the event-feeding helpers.
#include "layer_fixture.h"
#include "sequence.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdlib>
#include <iomanip>
#include <sstream>

namespace layer_test {

namespace {

LayerTest *current = nullptr;
int depth = 0;
constexpr const char *class_name = "sdl layer test";

void record(const char *event, HWND, UINT message, WPARAM wparam, LPARAM lparam) {
    if (current == nullptr ||
        std::find(current->logged_events.begin(), current->logged_events.end(), event) ==
            current->logged_events.end())
        return;
    current->log.push_back(std::string(2 * static_cast<std::size_t>(depth), ' ') + event + " " +
                           describe(message, wparam, lparam));
}

LRESULT CALLBACK recording_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    ++depth;
    const LRESULT result = current != nullptr && current->handler
                               ? current->handler(hwnd, message, wparam, lparam)
                               : DefWindowProcA(hwnd, message, wparam, lparam);
    --depth;
    return result;
}

Uint32 sdl_id(HWND hwnd) {
    return SDL_GetWindowID(sdl_win32_sdl_window(hwnd));
}

} // namespace

std::string describe(UINT message, WPARAM wparam, LPARAM lparam) {
    std::ostringstream out;
    out << message_name(message);
    const int x = static_cast<short>(LOWORD(lparam));
    const int y = static_cast<short>(HIWORD(lparam));
    switch (message) {
    case WM_SIZE:
        out << ' ' << wparam << ' ' << LOWORD(lparam) << 'x' << HIWORD(lparam);
        break;
    case WM_CHAR:
    case WM_TIMER:
    case WM_QUIT:
        out << ' ' << static_cast<long long>(wparam);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        out << " 0x" << std::hex << std::setw(2) << std::setfill('0') << wparam << std::dec;
        if (message == WM_KEYDOWN && (lparam & (1 << 30)) != 0)
            out << " repeat";
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        out << ' ' << x << ',' << y;
        break;
    default:
        break;
    }
    return out.str();
}

void LayerTest::SetUpTestSuite() {
    static bool started = false;
    if (started)
        return;
    std::string error;
    ASSERT_TRUE(sdl_win32_start(error)) << error;
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = recording_proc;
    wc.hInstance = sdl_win32_module();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = class_name;
    ASSERT_NE(RegisterClassA(&wc), 0);
    started = true;
}

void LayerTest::SetUp() {
    current = this;
    depth = 0;
    sdl_win32_set_tracer(record);
}

void LayerTest::TearDown() {
    handler = nullptr;
    logged_events.clear();
    for (HWND hwnd : windows)
        DestroyWindow(hwnd);
    // Leaves no quit flag and no stray input behind for the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    sdl_win32_set_tracer(nullptr);
    current = nullptr;
}

HWND LayerTest::create_window(int x, int y, int width, int height) {
    const HWND hwnd = CreateWindowExA(0, class_name, "sdl layer test", WS_OVERLAPPEDWINDOW, x, y,
                                      width, height, nullptr, nullptr, sdl_win32_module(), nullptr);
    EXPECT_NE(hwnd, nullptr);
    windows.push_back(hwnd);
    return hwnd;
}

HWND LayerTest::create_shown_window() {
    const HWND hwnd = create_window();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    settle();
    dispatch_all();
    log.clear();
    return hwnd;
}

void LayerTest::expect_log(const std::vector<std::string> &expected) {
    EXPECT_TRUE(same_sequence(expected, log));
    log.clear();
}

void LayerTest::settle() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    for (HWND hwnd : windows)
        if (SDL_Window *window = sdl_win32_sdl_window(hwnd);
            window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE) {
            XSync(info.info.x11.display, False);
            break;
        }
    const std::vector<std::string> events = logged_events;
    logged_events.clear();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    logged_events = events;
}

void LayerTest::dispatch_all() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool LayerTest::dispatch_until(const std::function<bool()> &done) {
    const Uint64 give_up = SDL_GetTicks64() + 5000;
    while (!done()) {
        if (SDL_GetTicks64() > give_up)
            return false;
        SDL_Delay(5);
        dispatch_all();
    }
    return true;
}

void LayerTest::push_key(HWND hwnd, SDL_Keycode key, bool down, bool repeat, Uint16 mod) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = sdl_id(hwnd);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
}

void LayerTest::push_text(HWND hwnd, const char *text) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = sdl_id(hwnd);
    SDL_strlcpy(event.text.text, text, sizeof event.text.text);
    SDL_PushEvent(&event);
}

void LayerTest::push_window_event(HWND hwnd, SDL_WindowEventID id, int data1, int data2) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = sdl_id(hwnd);
    event.window.event = static_cast<Uint8>(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

void LayerTest::run(const std::string &command) {
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

unsigned long LayerTest::x11_window(HWND hwnd) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    EXPECT_EQ(SDL_GetWindowWMInfo(sdl_win32_sdl_window(hwnd), &info), SDL_TRUE);
    return info.info.x11.window;
}

} // namespace layer_test

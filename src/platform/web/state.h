// The layer's one state record, the page's side of it (JavaScript imports), and the helpers that
// its files share. Internal to the layer.
#pragma once

#include "platform/web/web_win32.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// ==== The page (layer.js, canvas.js, message_box.js, framebuffer.js) ====
extern "C" {
// Sleeps (Asyncify) until web_wake() is called or `timeout_ms` passes; -1 waits for an event.
void web_wait(int timeout_ms);
// Wakes web_wait once the current event handler has returned.
void web_wake();
// Sleeps until the browser's next animation frame.
void web_next_frame();
// Shows a modal dialog and sleeps until it is dismissed.
void web_message_box(const char *text, const char *caption, int error);
// The canvas that is the window: made hidden, at x, y in CSS pixels. Its pointer events call
// `pointer(message, x, y, buttons)`.
void web_create_canvas(const char *id, int x, int y, void (*pointer)(int, int, int, int));
void web_show_canvas(int shown);
void web_remove_canvas();
int web_set_capture(int capture);
int web_viewport(int height);
double web_now_ms();
// A framebuffer with exactly the depth asked for, which SwapBuffers presents; 0 without WebGL 2.
int web_make_framebuffer(int depth_bits, int stencil_bits, int width, int height);
void web_size_framebuffer(int width, int height);
void web_present();
void web_forget_framebuffer();
// An integer property of the current WebGL context (the viewer's GL names belong to the subset).
int web_gl_integer(int name);
// Records a presented frame for the page's status.
void web_frame_presented();
}

namespace web_layer {

// Win32 values that the contract header leaves out because the viewer never names them.
constexpr WPARAM size_restored = 0;
constexpr WPARAM mk_lbutton = 0x0001;
constexpr WPARAM mk_shift = 0x0004;
constexpr WPARAM mk_control = 0x0008;
constexpr UINT gdi_error = 0xFFFFFFFFu;
constexpr const char *canvas_id = "helicoid-window";
constexpr const char *canvas_selector = "#helicoid-window";

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
};

struct Timer {
    UINT_PTR id = 0;
    double period_ms = 0;
    double due_ms = 0;
    TIMERPROC proc = nullptr;
};

struct Window {
    HWND handle = nullptr;
    HDC dc = nullptr;
    const WindowClass *window_class = nullptr;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0; // client area, CSS pixels
    int height = 0;
    bool visible = false;
    bool invalid = false;
    bool needs_first_size = true;
    bool destroying = false;
    std::vector<Timer> timers;
    PIXELFORMATDESCRIPTOR requested = {}; // last ChoosePixelFormat request on the DC
    int pixel_format = 0;
    PIXELFORMATDESCRIPTOR format = {}; // what the WebGL context really has, once set
    std::intptr_t webgl = 0;           // the canvas's context, made by SetPixelFormat
    bool webgl_handed_out = false;
    HPALETTE palette = nullptr;
};

struct QueuedMessage {
    MSG msg = {};
    std::string chars; // WM_CHAR codes that TranslateMessage will post for a key-down
};

// Everything the layer knows. Handles are small numbers from one counter, so a stale or foreign
// handle is recognised instead of dereferenced.
struct State {
    std::uintptr_t last_handle = 0x1000;
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::unique_ptr<Window> window; // the one window
    HGLRC gl_context = nullptr;
    std::vector<HPALETTE> palettes;
    HCURSOR arrow_cursor = nullptr;

    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    bool quit_requested = false;
    int quit_code = 0;
    bool box_up = false; // a message box is modal: the window gets no input
    HWND capture = nullptr;
    POINT cursor = {};

    // The key-down last removed from the queue, with the characters TranslateMessage owes it.
    MSG key_down = {};
    std::string key_down_chars;
};

State &state();

template <typename Handle> Handle new_handle() {
    return reinterpret_cast<Handle>(++state().last_handle);
}

Window *find_window(HWND hwnd); // null for unknown handles; a window being destroyed is found
Window *window_of_dc(HDC dc);

// Prints one line naming the call and what it cannot do; the caller returns Win32's failure.
void unsupported(const char *call, const char *what);

// Calls the window procedure directly, as Win32 does for sent messages.
LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Win32's MAKELPARAM: two 16-bit halves, zero-extended.
inline LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(low)) |
                               (static_cast<DWORD>(static_cast<WORD>(high)) << 16));
}

MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Queues input (waking the message loop), merging a pointer move into one at the queue's end.
void queue_input(const MSG &msg, std::string chars = {});
void queue_posted(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void drop_queued(HWND hwnd);

// The address of a WebGL function by its ES 2.0 name, for the OpenGL 1.1 subset; null if unknown.
void *webgl_function(const char *name);

// Starts listening to the keyboard (input.cpp); the canvas's pointer handler.
void listen_to_keys();
void on_pointer(int message, int x, int y, int buttons);

} // namespace web_layer

// The page's side of the layer (JavaScript imports), the layer's window record and state, and the
// helpers that its files share. The Win32 rules it shares with the SDL layer are in
// platform/win32_core. Internal to the layer.
#pragma once

#include "platform/web/web_win32.h"
#include "platform/win32_core/platform.h"
#include "platform/win32_core/report.h"

#include <emscripten/html5_webgl.h>

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
// `pointer(message, x, y, buttons)`; a touch screen's on-screen keys call `key(vk, character)`.
void web_create_canvas(const char *id, int x, int y, void (*pointer)(int, int, int, int),
                       void (*key)(int, int));
// Its size in CSS pixels: where the keys stand, and how far the page scales both, follow.
void web_size_canvas(int width, int height);
void web_show_canvas(int shown);
void web_remove_canvas();
int web_set_capture(int capture);
int web_viewport(int height);
// Says on the page that the picture is lost for the moment (1), or no longer (0).
void web_show_lost(int lost);
double web_now_ms();
// The canvas's backing store, at most what the current context can draw; the framebuffer follows.
void web_fit_canvas(int width, int height);
// A framebuffer with exactly the depth asked for, as large as the drawing buffer, which
// SwapBuffers presents; 0 without WebGL 2. Made again for a context that came back (1 if none).
int web_make_framebuffer(int depth_bits, int stencil_bits);
int web_remake_framebuffer();
void web_present();
void web_forget_framebuffer();
// An integer property of the current WebGL context (the viewer's GL names belong to the subset).
int web_gl_integer(int name);
// Records a presented frame for the page's status.
void web_frame_presented();
}

namespace web_layer {

using namespace win32_core;

constexpr const char *canvas_id = "helicoid-window";
constexpr const char *canvas_selector = "#helicoid-window";

// The one window: a canvas in the page, with its WebGL context.
struct WebWindow : Window {
    ~WebWindow() override;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl = 0; // the canvas's context, made by SetPixelFormat
    bool webgl_handed_out = false;
};

// What only this layer knows.
struct WebState {
    HGLRC gl_context = nullptr;
    bool box_up = false; // a message box is modal: the window gets no input
};

WebState &web_state();

// The window, if there is one; and the window of a handle or device context, null if unknown.
WebWindow *the_window();
WebWindow *find_web_window(HWND hwnd);
WebWindow *web_window_of_dc(HDC dc);

// The address of a WebGL function by its ES 2.0 name, for the OpenGL 1.1 subset; null if unknown.
void *webgl_function(const char *name);

// The key the subset knows the canvas's context by.
inline const void *subset_key(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl) {
    return reinterpret_cast<const void *>(webgl);
}

// Starts listening to the keyboard (input.cpp); the canvas's pointer and on-screen key handlers.
void listen_to_keys();
void on_pointer(int message, int x, int y, int buttons);
void on_screen_key(int virtual_key, int character);

// Keeps the picture through a lost WebGL context (context_loss.cpp).
void listen_to_context_loss();

} // namespace web_layer

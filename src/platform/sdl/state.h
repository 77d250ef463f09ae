// The layer's one state record and the helpers that its files share. Internal to the layer.
#pragma once

#include "platform/sdl/sdl_win32.h"

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sdl_layer {

// Win32 values that the contract header leaves out because the viewer never names them.
constexpr WPARAM size_restored = 0;
constexpr WPARAM size_minimized = 1;
constexpr WPARAM size_maximized = 2;
constexpr UINT gdi_error = 0xFFFFFFFFu;

// What WM_CREATE's lparam points to, laid out as Win32's CREATESTRUCTA.
struct CreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
};

struct Timer {
    UINT_PTR id = 0;
    Uint64 period_ms = 0;
    Uint64 due_ms = 0;
    TIMERPROC proc = nullptr;
};

struct Window {
    HWND handle = nullptr;
    HDC dc = nullptr;
    const WindowClass *window_class = nullptr;
    SDL_Window *sdl = nullptr; // made by SetPixelFormat or the first ShowWindow
    std::string title;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0; // client area
    int height = 0;
    bool visible = false;
    bool invalid = false;
    bool needs_first_size = true;
    bool minimized = false;
    bool destroying = false;
    std::vector<Timer> timers;
    PIXELFORMATDESCRIPTOR requested = {}; // last ChoosePixelFormat request on the DC
    int pixel_format = 0;
    PIXELFORMATDESCRIPTOR format = {};     // what the GL surface really has, once set
    SDL_GLContext spare_context = nullptr; // made by SetPixelFormat, handed to wglCreateContext
    HPALETTE palette = nullptr;
};

// The sizes of a GL surface's buffers, in bits.
struct GlSizes {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    int depth = 0;
    int stencil = 0;
    int accum_red = 0;
    int accum_green = 0;
    int accum_blue = 0;
    int accum_alpha = 0;
    bool double_buffer = true;
};

struct QueuedMessage {
    MSG msg = {};
    std::string chars;      // WM_CHAR codes that TranslateMessage will post for a key-down
    bool takes_text = true; // a key-down that may still receive SDL's text for it
};

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
};

// Everything the layer knows. Handles are small numbers from one counter, so a stale or foreign
// handle is recognised instead of dereferenced.
struct State {
    bool started = false;
    SdlWin32Tracer tracer = nullptr;
    void (*present_hook)() = nullptr;
    SdlWin32MessageBoxHook message_box_hook = nullptr;
    std::uintptr_t last_handle = 0x1000;

    std::vector<std::unique_ptr<WindowClass>> classes;
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows; // in creation order
    std::map<std::uintptr_t, SDL_GLContext> gl_contexts;
    std::map<std::uintptr_t, Palette> palettes;
    HPALETTE default_palette = nullptr;
    std::map<int, std::vector<IconImage>> icon_resources;
    std::map<std::uintptr_t, int> icons; // icon handle to resource id
    HCURSOR arrow_cursor = nullptr;
    SDL_Cursor *arrow = nullptr;

    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    // PeekMessageA has just polled the display and reported a message that is still first.
    bool peeked_after_poll = false;
    bool quit_requested = false;
    int quit_code = 0;
    HWND capture = nullptr;
    bool capture_engaged = false; // SDL accepted the capture
    POINT cursor = {};            // last known pointer position on the screen

    // The key-down last removed from the queue, with the characters TranslateMessage owes it.
    MSG key_down = {};
    std::string key_down_chars;
    bool key_down_takes_text = false;
};

State &state();

template <typename Handle> Handle new_handle() {
    return reinterpret_cast<Handle>(++state().last_handle);
}
template <typename Handle> std::uintptr_t handle_key(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

Window *find_window(HWND hwnd); // null for unknown handles; windows being destroyed are found
Window *window_of_dc(HDC dc);
Window *window_of_sdl_id(Uint32 sdl_window_id);

// Prints one line naming the call and what it cannot do; the caller returns Win32's failure.
void unsupported(const char *call, const char *what);
void trace(const char *event, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Calls the window procedure directly, as Win32 does for sent messages. The window may be gone
// afterwards: callers look it up again by handle.
LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Win32's MAKELPARAM: two 16-bit halves, zero-extended.
inline LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(low)) |
                               (static_cast<DWORD>(static_cast<WORD>(high)) << 16));
}

// Records a new client size, invalidates as the class styles say, and sends WM_SIZE.
void client_resized(HWND hwnd, int width, int height, WPARAM kind);

// A message stamped with the current time and pointer position.
MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Queues input, merging a pointer move into a pointer move at the end of the queue.
void queue_input(const MSG &msg, std::string chars = {}, bool takes_text = false);
void queue_posted(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Moves every SDL event into the queues, calling window procedures for sent messages. Without
// `poll_display` only the events already in SDL's queue are taken (those pushed by other threads).
void pump_events(bool poll_display = true);
void translate_event(const SDL_Event &event);

// Makes an SDL window for the window's title, place, size, style and visibility (window.cpp).
SDL_Window *create_sdl_window(const Window &window, bool opengl);
// Gives the window its SDL window if it has none yet; false (and a line on stderr) on failure.
// The SDL window is made late, by SetPixelFormat or ShowWindow, because X11 fixes its visual then.
bool realize(Window &window);

// The X visual of a GL configuration with these sizes and exactly sizes.depth depth bits, for
// SDL's window visual hint; 0 when there is none, or when the display is not X11 (exact_depth.cpp).
unsigned long exact_depth_visual(SDL_Window *window, const GlSizes &sizes);

// Gives the SDL window its class's icon and cursor (resources.cpp).
void apply_class_resources(const Window &window);

// Why SDL's X11 message box cannot open on the display (no usable font), or empty when no reason
// is known (box_font.cpp).
std::string x11_message_box_problem();
// While on, a process forked from now on (SDL's box, zenity) is killed when the program dies,
// whatever ends it (box_child.cpp; Linux only).
void box_children_die_with_program(bool on);

// Takes SDL's pointer capture when the layer holds one and SDL has not granted it (events.cpp).
void engage_capture();

} // namespace sdl_layer

// The Win32 rules that the platform layers share: the records, and what a layer may read of them.
// A layer (sdl/, web/, the null platform) meets the core in two named directions: it provides the
// hooks of platform.h (the core calls them), and reports its events through the entry points of
// report.h (it calls them). A layer reads the core's records but changes them only through
// report.h; the writable state is the core's own (rules.h). Internal to the layers.
//
// Emulated, with Win32's rules:
// - Window classes and one kind of window (overlapped, no parent, no menu). CreateWindowExA sends
//   WM_CREATE before it returns (-1 fails the call); the first ShowWindow sends the first WM_SIZE;
//   SetWindowPos is synchronous, so a handler's resize nests its WM_SIZE; DestroyWindow releases
//   capture, kills the timers, sends WM_DESTROY and drops the window's queued messages;
//   DefWindowProcA turns WM_CLOSE into DestroyWindow.
// - The queue: sent messages are procedure calls; then posted messages (WM_CHAR), WM_QUIT once
//   PostQuitMessage's flag is set and the posted messages are gone, input, WM_PAINT while a
//   visible window is invalid, WM_TIMER when a timer is due. WM_PAINT, WM_TIMER and WM_QUIT are
//   produced, not queued: WM_PAINT repeats until BeginPaint validates, a timer that fell behind
//   yields one WM_TIMER and keeps its phase, PM_NOREMOVE leaves all of them in place.
//   Consecutive pointer moves merge into the last. GetMessageA sleeps until an event or the timer.
// - TranslateMessage: one WM_CHAR per key-down or repeat, right after it; characters beyond
//   Latin-1 become '?', as for an ANSI window.
// - SetCapture and ReleaseCapture; WM_CAPTURECHANGED goes to the window that loses the capture.
// - One device context a window (CS_OWNDC) and one pixel format (index 1: RGBA, double-buffered,
//   OpenGL), which DescribePixelFormat describes as the layer's surface really has it.
// - Palettes exist as objects only: the displays are true colour, so there is no system palette
//   (GetSystemPaletteEntries returns 0) and RealizePalette maps no entries.
//
// Not emulated (the viewer uses none of it): child, pop-up and layered windows, menus, extra
// bytes, class atoms, timer procedures and thread timers, message filters, PostMessage and
// SendMessage, accumulation and aux buffers, and the messages Windows sends around these calls
// (WM_NCCREATE, WM_SHOWWINDOW, WM_MOVE, WM_ACTIVATE, WM_ERASEBKGND...). A call or an argument
// outside the subset prints one line on stderr and returns Win32's failure value.
//
// Deviations from Windows, in every layer and in each: docs/platforms.md.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace win32_core {

// Win32 values that the contract header leaves out because the viewer never names them.
constexpr WPARAM size_restored = 0;
constexpr WPARAM size_minimized = 1;
constexpr WPARAM size_maximized = 2;
constexpr UINT gdi_error = 0xFFFFFFFFu;
constexpr int only_format = 1; // the one pixel format a layer offers

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
};

struct Timer {
    UINT_PTR id = 0;
    std::uint64_t period_ms = 0;
    std::uint64_t due_ms = 0;
};

// A window as every layer has it. A layer derives its own record, with its surface, and frees
// that surface in its destructor.
struct Window {
    virtual ~Window() = default;
    HWND handle = nullptr;
    HDC dc = nullptr;
    const WindowClass *window_class = nullptr;
    std::string title;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0; // client area
    int height = 0;
    bool visible = false;
    bool invalid = false;
    bool needs_first_size = true;
    bool destroying = false;
    bool minimized = false;
    std::vector<Timer> timers;
    PIXELFORMATDESCRIPTOR requested = {}; // last ChoosePixelFormat request on the DC
    int pixel_format = 0;
    PIXELFORMATDESCRIPTOR format = {}; // what the surface really has, once set
    HPALETTE palette = nullptr;
};

struct QueuedMessage {
    MSG msg = {};
    std::string chars;       // WM_CHAR codes that TranslateMessage will post for a key-down
    bool takes_text = false; // a key-down whose characters may still arrive
};

using Tracer = void (*)(const char *event, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The state that the shared rules keep. Handles are small numbers from one counter, so a stale
// or foreign handle is recognised instead of dereferenced.
struct State {
    std::uintptr_t last_handle = 0x1000;
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows; // in creation order
    std::vector<HPALETTE> palettes;
    HCURSOR arrow_cursor = nullptr;
    Tracer tracer = nullptr;

    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    // PeekMessageA has just polled for events and reported a message that is still first.
    bool peeked_after_poll = false;
    bool quit_requested = false;
    int quit_code = 0;
    HWND capture = nullptr;
    POINT cursor = {}; // last known pointer position on the screen

    // The key-down last removed from the queue, with the characters TranslateMessage owes it.
    QueuedMessage key_down;
};

// The core's records as a layer may see them: read, never written (report.h changes them).
const State &shared_state();
void set_tracer(Tracer tracer);

// A fresh handle value; a layer names its own objects (icons, GL contexts) with these too.
std::uintptr_t next_handle();
template <typename Handle> Handle new_handle() {
    return reinterpret_cast<Handle>(next_handle());
}
template <typename Handle> std::uintptr_t handle_key(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// MAKEINTRESOURCE numbers and atoms: Win32 tells them from pointers by the high bits being zero.
inline bool is_int_resource(LPCSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// The module handle that WinMain and the resource loaders receive.
HINSTANCE module_handle();

Window *find_window(HWND hwnd); // null for unknown handles; windows being destroyed are found
Window *window_of_dc(HDC dc);

// Prints one line naming the call and what it cannot do; the caller returns Win32's failure.
void unsupported(const char *call, const char *what);
void trace(const char *event, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Win32's MAKELPARAM: two 16-bit halves, zero-extended.
inline LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(low)) |
                               (static_cast<DWORD>(static_cast<WORD>(high)) << 16));
}

// An ANSI window's characters: Latin-1 passes, the rest becomes '?'.
std::string ansi_from_utf8(const char *text);

// The sizes of a surface's buffers, in bits.
struct Sizes {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    int depth = 0;
    int stencil = 0;
    bool double_buffer = true;
};
// ChoosePixelFormat's sizes are minimums: these are what to ask the platform for.
Sizes requested_sizes(const PIXELFORMATDESCRIPTOR &request);
PIXELFORMATDESCRIPTOR describe(const Sizes &sizes);
// SetPixelFormat's checks: true when the layer is to make the surface now; otherwise `result` is
// the call's answer (a format is set once, and setting the same one again is harmless).
bool format_to_set(Window *window, int format, BOOL &result);

} // namespace win32_core

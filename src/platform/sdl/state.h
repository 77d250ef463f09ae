// The SDL layer's own state, its window record and the helpers that its files share. The Win32
// rules it shares with the page's layer are in platform/win32_core. Internal to the layer.
#pragma once

#include "platform/sdl/sdl_win32.h"
#include "platform/sdl/test_support.h"
#include "platform/win32_core/platform.h"
#include "platform/win32_core/report.h"

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sdl_layer {

using namespace win32_core;

// A window and the SDL window behind it.
struct SdlWindow : Window {
    ~SdlWindow() override;
    SDL_Window *sdl = nullptr;             // made by SetPixelFormat or the first ShowWindow
    SDL_GLContext spare_context = nullptr; // made by SetPixelFormat, handed to wglCreateContext
};

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// What only this layer knows.
struct SdlState {
    bool started = false;
    void (*present_hook)() = nullptr;
    SdlWin32MessageBoxHook message_box_hook = nullptr;
    std::map<std::uintptr_t, SDL_GLContext> gl_contexts;
    std::map<int, std::vector<IconImage>> icon_resources;
    std::map<std::uintptr_t, int> icons; // icon handle to resource id
    SDL_Cursor *arrow = nullptr;
    bool capture_engaged = false; // SDL accepted the capture
};

SdlState &sdl_state();

// Every window of this layer is an SdlWindow; null for unknown handles.
inline SdlWindow *find_sdl_window(HWND hwnd) {
    return static_cast<SdlWindow *>(find_window(hwnd));
}
inline SdlWindow *sdl_window_of_dc(HDC dc) {
    return static_cast<SdlWindow *>(window_of_dc(dc));
}
SdlWindow *window_of_sdl_id(Uint32 sdl_window_id);

// Makes an SDL window for the window's title, place, size, style and visibility (window.cpp).
SDL_Window *create_sdl_window(const Window &window, bool opengl);

// The X visual of a GL configuration with these sizes and exactly sizes.depth depth bits, for
// SDL's window visual hint; 0 when there is none, or when the display is not X11 (exact_depth.cpp).
unsigned long exact_depth_visual(SDL_Window *window, const Sizes &sizes);

// Gives the SDL window its class's icon and cursor (resources.cpp).
void apply_class_resources(const SdlWindow &window);

// Why SDL's X11 message box cannot open on the display (no room for its client, no usable font),
// or empty when no reason is known or the display is not X11 (box_font.cpp).
std::string x11_message_box_problem();
// A lost display ends the program with one line on stderr and exit code 1 (display_lost.cpp):
// - opening_display: SDL's video is about to start with `driver` (null: SDL's own choice); from
//   now on the loss, or a crash inside a library because of it, is reported.
// - display_opened: SDL's video has started with `driver`, or has not (null); while it runs, a
//   thread watches SDL's connections, asleep until one hangs up.
// - display_closing: SDL is about to close its connections; the watch ends.
// - watch_during_box: off while SDL's box is up. SDL forks the box's process, and a fork copies
//   only the calling thread: a lock the watch held at that moment (the allocator's, under a
//   sanitizer) would stay locked in the child for ever. A loss under the box fails the box.
void opening_display(const char *driver);
void display_opened(const char *driver);
void display_closing();
void watch_during_box(bool on);
// Ends the program the same way when the display is gone, for failures that may come from its
// loss, such as SDL's box, or SDL_QUIT; a display that refuses one more client is not gone.
void exit_if_display_gone();
// While on, a process forked from now on (SDL's box, zenity) is killed when the program dies,
// whatever ends it (box_child.cpp; Linux only).
void box_children_die_with_program(bool on);

// Takes SDL's pointer capture when the layer holds one and SDL has not granted it (events.cpp).
void engage_capture();

} // namespace sdl_layer

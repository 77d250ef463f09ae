// What a platform reports: the entry points through which a layer hands the core its events and
// what became of its surfaces. They are the only way a layer changes the core's records; the
// core turns them into messages by Win32's rules (characters, MK_ flags, capture, WM_SIZE).
#pragma once

#include "platform/win32_core/core.h"

namespace win32_core::report {

// The modifier keys held, as the platform knows them. `alt` is the Alt that makes system keys.
struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// A key-down (or its repeat) or key-up. `text` is the key's characters in UTF-8 when the platform
// knows them with the key ("" for none); null when they follow through text(). Control
// characters (Escape, Return, Backspace, Tab, Ctrl+letter) come from the key itself, as Windows
// translates them. True when the key-down has characters.
bool key(HWND hwnd, bool down, WPARAM virtual_key, bool repeat, Modifiers modifiers,
         const char *text);
// Characters in UTF-8 for the last key-down still waiting for them, or posted as they come.
void text(HWND hwnd, const char *utf8);

// A pointer event at (x, y) in the client area of `source` (null: the platform no longer knows
// the window, as when a captured pointer left it). A captured pointer goes to the capturing
// window in its coordinates; an uncaptured one outside the client area goes nowhere.
void pointer(HWND source, UINT message, int x, int y, bool left_button, Modifiers modifiers);
// The platform ended the pointer's capture (the application lost the focus).
void capture_lost();

// The window manager's news: a close request (one window, or every window), a move, a new
// client size, minimizing and restoring, and contents lost (exposed, or a cleared surface).
void close_request(HWND hwnd);
void quit_request();
void moved(HWND hwnd, int x, int y);
void resized(HWND hwnd, int width, int height, bool maximized);
void minimized(HWND hwnd);
void restored(HWND hwnd);
void contents_lost(HWND hwnd);

// SetPixelFormat made the surface: `sizes` are what it really has.
void pixel_format_set(HWND hwnd, int format, const Sizes &sizes);

// The process ends: its windows go with it, without messages, as ExitProcess takes them.
void process_ended();

} // namespace win32_core::report

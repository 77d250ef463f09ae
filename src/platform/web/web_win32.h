// The Win32 subset over Emscripten's HTML5 API: what the viewer's own Win32 calls get in a browser.
//
// Emulated, with Win32's rules:
// - Window classes and one window (overlapped, no parent, no menu): a canvas at the window's
//   place, sized in CSS pixels, with a backing store of that size times the device pixel ratio.
//   CreateWindowExA makes the canvas (hidden) and sends WM_CREATE before it returns; the first
//   ShowWindow shows it and sends the first WM_SIZE; DestroyWindow releases capture, kills the
//   timers, sends WM_DESTROY, drops the window's queued messages and removes the canvas.
// - The message queue in Win32's order: sent messages are procedure calls; then posted messages
//   (WM_CHAR from TranslateMessage), WM_QUIT once PostQuitMessage's flag is set and the posted
//   messages are gone, input, WM_PAINT while the window is invalid, WM_TIMER when a timer is due.
//   WM_PAINT, WM_TIMER and WM_QUIT are produced, not queued; PM_NOREMOVE leaves them in place; a
//   timer that fell behind yields one WM_TIMER; consecutive pointer moves merge into the last.
// - GetMessageA waits without blocking the page: Asyncify unwinds the program to the browser's
//   event loop until an event arrives or the next timer is due, and rewinds it then.
// - TranslateMessage: one WM_CHAR per key-down or repeat, from the DOM's key value, so shifted
//   letters stay upper case; Escape, Return, Backspace, Tab and Ctrl+letter as Windows translates
//   them. Characters beyond Latin-1 become '?', as for an ANSI window. Virtual-key codes are the
//   DOM's keyCode, which matches Win32's for letters, digits, Escape and the other common keys.
// - The left button and pointer moves from Pointer Events on the canvas, in CSS pixels relative
//   to it (signed 16-bit in lParam). SetCapture is the Pointer Events capture of the pressed
//   pointer: moves and the release outside the canvas keep coming, negative left of or above it.
//   Without capture, pointer events outside the canvas go to the page, not to the window.
// - MessageBoxA with MB_OK: a modal dialog in the page with the exact caption and text and an OK
//   button that has the focus, so Return (or Escape, as on Windows) dismisses it with IDOK. The
//   program waits meanwhile and the window gets no input.
// - One pixel format (index 1: RGBA, double-buffered, drawn by OpenGL). SetPixelFormat makes the
//   canvas's WebGL context with no alpha (the canvas is opaque, as a window is) and no
//   antialiasing, and describes the sizes it really got. The depth asked for decides which copy
//   of a doubled triangle wins, and a canvas's own depth buffer is as deep as the browser likes
//   (24 bits): with WebGL 2, drawing goes to a framebuffer with exactly the depth and stencil
//   asked for; with WebGL 1 only, to the canvas itself.
// - WGL over that context; the viewer's OpenGL 1.1 calls reach it through the OpenGL 1.1 subset
//   (src/platform/gles/). SwapBuffers copies the framebuffer to the canvas, hands the frame to
//   the browser and returns at the next animation frame, as a swap synchronised to the display.
// - GetSystemMetrics: the screen is the page's viewport, in CSS pixels.
// - Palettes exist as objects only: a canvas is true colour.
// - The program's end (WinMain returning, or exit()) is reported to the page with its exit code.
//
// Not emulated (the viewer uses none of it): more than one window, child and pop-up windows,
// menus, window extra bytes, thread timers, message filters, PostMessage/SendMessage, the right
// and middle buttons, the wheel, and the messages Windows sends around these calls (WM_NCCREATE,
// WM_SHOWWINDOW, WM_MOVE, WM_ACTIVATE, focus, WM_CAPTURECHANGED...). A call or an argument outside
// the subset prints one line on stderr (the browser's console) and returns Win32's failure value.
//
// Known deviations from Windows, and why:
// - The client area is the size given to CreateWindowExA and SetWindowPos (the page draws no
//   frame), so the picture is not squashed as on Windows and the trackball centre is the client
//   centre. Client coordinates are CSS pixels; OpenGL draws at device pixels.
// - The page is never resized under the program: the viewport changing size or zoom leaves the
//   canvas as it was made, as a screen resolution change would leave a Windows window.
// - Pointer capture holds only while the button is down: Pointer Events capture only a pointer
//   that is pressed, and the browser ends it at the release.
// - The window never loses focus to other windows: keys typed anywhere on the page reach it.
// - SwapBuffers waits for the browser's next frame, so frames follow the display's rate and a
//   hidden tab draws nothing until it is shown again.
// - Key messages carry no scan code; message times are milliseconds since the page loaded.
// - SetWindowPos only resizes: a canvas placed by the page is not moved by the program.
// - LoadIconA finds no icons (the page's tab has its own), so a class keeps none.
#pragma once

#include "platform/win32.h"

// The module handle that WinMain receives.
HINSTANCE web_win32_module();

// Removes what is left (the window, the WebGL context) when the program ends.
void web_win32_stop();

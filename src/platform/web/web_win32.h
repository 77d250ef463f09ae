// The Win32 subset over Emscripten's HTML5 API: what the viewer's own Win32 calls get in a browser.
// The rules it shares with the SDL layer are listed in platform/win32_core/core.h; this layer
// gives them the page:
// - One window: a canvas at the window's place, sized in CSS pixels, with a backing store of that
//   size times the device pixel ratio, at most the largest renderbuffer and viewport the context
//   takes (the browser scales it up beyond). CreateWindowExA makes it hidden, ShowWindow shows it.
//   The canvas is named for screen readers by the page's texts (helicoid-label, helicoid-help).
// - The window keeps its place and size when the viewport changes, as on Windows when the screen
//   does; where it (with its on-screen keys) no longer fits, the page scales it down by CSS until
//   it does, and pointer positions are mapped back to window pixels.
// - GetMessageA waits without blocking the page: Asyncify unwinds the program to the browser's
//   event loop until an event arrives or the next timer is due, and rewinds it then.
// - Keys from the DOM: virtual-key codes are its keyCode, which matches Win32's for letters,
//   digits, Escape and the other common keys; characters from its key value, so "F" stays upper
//   case, and Escape, Return, Backspace, Tab and Ctrl+letter as Windows translates them.
// - The left button and pointer moves from Pointer Events on the canvas, in window pixels relative
//   to it. SetCapture is the Pointer Events capture of the pressed pointer: moves and the release
//   outside the canvas keep coming, negative left of or above it. The page losing the focus ends
//   the capture, as deactivating an application does on Windows.
// - MessageBoxA with MB_OK: a modal dialog in the page with the exact caption and text and an OK
//   button that has the focus, also after a click on the text or beside the box, so Return (or
//   Escape, as on Windows) dismisses it with IDOK. The program waits meanwhile and the window
//   gets no input.
// - On a touch screen (primary pointer coarse), a row of on-screen keys f, p, j, k and Esc beside
//   the canvas sends what those keys send, until a real keyboard's first key removes it. It stands
//   under the canvas, or beside it as a column, whichever leaves it larger, placed again whenever
//   the viewport changes.
// - SetPixelFormat makes the canvas's WebGL context with no alpha (the canvas is opaque, as a
//   window is) and no antialiasing. The depth asked for decides which copy of a doubled triangle
//   wins, and a canvas's own depth buffer is as deep as the browser likes (24 bits): with WebGL 2,
//   drawing goes to a framebuffer with exactly the depth and stencil asked for; with WebGL 1
//   only, to the canvas itself.
// - WGL over that context; the viewer's OpenGL 1.1 calls reach it through the OpenGL 1.1 subset
//   (src/platform/gles/). SwapBuffers copies the framebuffer to the canvas, hands the frame to
//   the browser and returns at the next animation frame, as a swap synchronised to the display.
// - GetSystemMetrics: the screen is the page's viewport, in CSS pixels; see the table for a
//   narrow one (never one whose window would have no pixel).
// - A lost WebGL context: the page says the picture is lost for the moment, draws are dropped;
//   when the browser gives it back, the framebuffer and the subset's objects are made again and
//   the window is painted again.
// - The program's end (WinMain returning, or exit()) is reported to the page with its exit code.
// Not emulated besides: a second window, the right and middle buttons, the wheel. Unsupported
// calls print their line in the browser's console.
//
// Deviations from Windows, with the reasons: docs/platforms.md, one table for every platform.
#pragma once

#include "platform/win32.h"

// The module handle that WinMain receives.
HINSTANCE web_win32_module();

// Removes what is left (the window, the WebGL context) when the program ends.
void web_win32_stop();

// The Win32 subset over SDL2: what the viewer's own Win32 calls get on Linux, BSD and macOS.
//
// Emulated, with Win32's rules:
// - Window classes and one kind of window (overlapped, no parent, no menu). CreateWindowExA sends
//   WM_CREATE before it returns (-1 destroys the window and fails the call); the first ShowWindow
//   sends the window's first WM_SIZE, as Windows does for overlapped windows; DestroyWindow hides
//   the window, releases capture, kills its timers, sends WM_DESTROY and drops its queued messages.
// - The message queue: sent messages are procedure calls; then posted messages (WM_CHAR from
//   TranslateMessage), WM_QUIT once PostQuitMessage's flag is set and the posted messages are
//   gone, input (keys, left button, pointer moves, the close request), WM_PAINT while a visible
//   window is invalid, and WM_TIMER when a timer is due. WM_PAINT, WM_TIMER and WM_QUIT are
//   produced, not queued: WM_PAINT repeats until BeginPaint validates, a timer that fell behind
//   yields one WM_TIMER and keeps its phase, and PM_NOREMOVE leaves all of them where they are.
//   Consecutive pointer moves merge into the last one, as Windows merges them.
// - GetMessageA sleeps in SDL_WaitEventTimeout until an event comes or the next timer is due
//   (SDL waits on the display connection once a window exists; before that it polls each ms).
// - WM_SIZE from the window manager's resizes and from SetWindowPos, nested when a handler
//   resizes the window; WM_PAINT for new and exposed windows; the close request as WM_CLOSE,
//   which DefWindowProcA turns into DestroyWindow.
// - TranslateMessage: one WM_CHAR per key-down or repeat, taken from SDL's text for that key, so
//   shifted letters stay upper case; Escape, Return, Backspace, Tab and Ctrl+letter, for which SDL
//   gives no text, from the key itself. Text beyond Latin-1 becomes '?', as for an ANSI window.
// - Pointer capture through SDL_CaptureMouse: moves and the release outside the window keep
//   coming, with negative coordinates left of or above it. Without capture, pointer messages
//   outside the client area are dropped (on Windows they go to the window underneath).
//   WM_CAPTURECHANGED goes to the window that loses the capture, inside ReleaseCapture,
//   SetCapture or DestroyWindow, and when the keyboard focus goes to another client (below).
// - Device contexts (one per window, as under CS_OWNDC), BeginPaint/EndPaint, one pixel format
//   (index 1: RGBA, double-buffered, drawn by OpenGL), WGL contexts and SwapBuffers over SDL's GL
//   context, MessageBoxA over SDL's message box, GetSystemMetrics from the primary display.
//   Built with HELICOID_GL_SUBSET, the context is OpenGL ES 2.0 and wglMakeCurrent plugs it into
//   our OpenGL 1.1 subset (src/platform/gles/), which then answers the viewer's OpenGL calls.
// - Palettes exist as objects only: these displays are true colour, so there is no system palette
//   (GetSystemPaletteEntries returns 0) and RealizePalette maps no entries.
//
// Not emulated (the viewer uses none of it): child, pop-up and layered windows, menus, window
// extra bytes, thread timers, message filters, PostMessage/SendMessage, right and middle buttons,
// the wheel, and the many messages Windows sends around these calls (WM_NCCREATE, WM_SHOWWINDOW,
// WM_MOVE, WM_ACTIVATE, focus, WM_CANCELMODE, WM_ERASEBKGND, WM_SYSKEYDOWN...). A call or an
// argument outside the subset prints one line on stderr and returns Win32's failure value.
//
// Known deviations from Windows, and why:
// - The client area is the size given to CreateWindowExA and SetWindowPos: the frame belongs to the
//   window manager, so there is no outer size to subtract it from. The picture is therefore not
//   squashed as on Windows, and the trackball centre is the client centre.
// - The window manager's close request is queued as WM_CLOSE itself; Windows reaches WM_CLOSE
//   through WM_SYSCOMMAND, which this subset lacks. SDL_QUIT (e.g. Cmd-Q) closes every window.
// - Only one pixel format exists. Its sizes are the minimums of the last ChoosePixelFormat request
//   on that device context; SetPixelFormat makes the window's GL surface and describes what it
//   really got. (X11 fixes the visual when a window is made, so the SDL window is made there, or
//   made anew if the window was shown first.) The depth buffer has exactly the bits asked for
//   when the display offers that size, as on Windows; GLX alone would give the deepest, and the
//   depth bits decide the picture. Where it is not offered, one line on stderr says what was
//   given instead. A colour-index request finds no format.
// - SwapBuffers needs the window's context to be current (SDL swaps the current window only).
// - While a message box is up, the layer's windows get no messages: SDL's box runs its own loop.
// - When no message box can be shown (SDL's X11 box needs an X core font, which a bare X server
//   lacks), MessageBoxA prints one line naming the cause, then the caption and the text, marked
//   as the box's, on stderr, and answers IDOK as a dismissed box would.
// - Pointer capture needs the window to have keyboard focus (SDL's rule); until focus arrives the
//   layer retries, and SDL clamps the coordinates to the window meanwhile. Losing the focus ends
//   the capture (SDL drops it then), as deactivation does on Windows.
// - Key messages carry no scan code, Alt combinations arrive as WM_KEYDOWN (their characters,
//   WM_SYSCHAR on Windows, are dropped), and keys without a Win32 virtual-key code get 0xFF.
//   Message times count from SDL's start, not from boot.
// - Maximising and then setting a size restores the window first (SDL keeps maximised windows at
//   the window manager's size); a tiling window manager that refuses the size will keep resizing.
// - Signals keep their default action: SDL's handlers would turn them into close requests that a
//   modal message box could swallow. SDL's box is a child process; on Linux it is killed when the
//   program dies, elsewhere it may stay on screen until answered.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct SDL_Window;

// Initialises SDL's video (never joysticks or game controllers: they turn waiting into polling).
// On failure returns false and fills `error` with one line naming the display it tried.
bool sdl_win32_start(std::string &error);
void sdl_win32_stop();

// The module handle that WinMain and the resource loaders receive.
HINSTANCE sdl_win32_module();

// Every window-procedure call and every queue movement, for message-sequence tests. `event` is
// "send" (called by the layer directly), "dispatch" (DispatchMessageA), "post" (posted queue or
// the quit flag), "input" (input queue), "get" (removed by GetMessageA or PeekMessageA) or "peek"
// (seen and left by PeekMessageA). Null switches it off.
using SdlWin32Tracer = void (*)(const char *event, HWND hwnd, UINT message, WPARAM wparam,
                                LPARAM lparam);
void sdl_win32_set_tracer(SdlWin32Tracer tracer);

// For benchmarks: called after every SwapBuffers that presented a frame. Null switches it off.
void sdl_win32_set_present_hook(void (*hook)());

// For benchmarks: answers MessageBoxA in place of showing the box. Null switches it off.
using SdlWin32MessageBoxHook = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
void sdl_win32_set_message_box_hook(SdlWin32MessageBoxHook hook);

// Adds one image to the icon resource `resource_id` of the module; LoadIconA finds it there. The
// pixels are 0xAARRGGBB words, row by row from the top, and are copied. The window gets the
// largest image of its class's icon (of equal sizes, the one added last: icon files list the
// deeper colours last). Without images LoadIconA returns null, as for a missing
// resource, and the window keeps the system's icon.
void sdl_win32_add_icon_image(int resource_id, int width, int height, const std::uint32_t *argb);

// Adds every bitmap image of an icon file (.ico, as the Windows build's .rc compiles it in) to the
// icon resource `resource_id`. False when the file holds no image this can read.
bool sdl_win32_add_icon_resource(int resource_id, const unsigned char *ico, std::size_t size);

// The SDL window behind a window handle, for tests that feed SDL events; null if there is none.
SDL_Window *sdl_win32_sdl_window(HWND hwnd);

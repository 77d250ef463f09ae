// The Win32 subset over SDL2: what the viewer's own Win32 calls get on Linux, BSD and macOS. The
// rules it shares with the page's layer are listed in platform/win32_core/core.h; this layer
// gives them SDL's events, windows and GL contexts:
// - GetMessageA sleeps in SDL_WaitEventTimeout until an event comes or the timer is due.
// - WM_SIZE from the window manager's resizes, minimising and restoring; WM_PAINT for new and
//   exposed windows; the close request as WM_CLOSE.
// - Keys: WM_KEYDOWN and WM_KEYUP with Win32's virtual-key codes. A key's character comes from
//   SDL's text for it, so "F" stays upper case; Escape, Return, Backspace, Tab and Ctrl+letter,
//   which SDL gives no text, from the key itself.
// - The left button and pointer moves; SetCapture over SDL_CaptureMouse, so moves and the release
//   outside keep coming, negative left of or above the window.
// - WGL contexts and SwapBuffers over SDL's GL context (ES 2.0 under our OpenGL 1.1 subset when
//   built with HELICOID_GL_SUBSET), MessageBoxA over SDL's box, the primary display's size, and
//   the class icon and arrow cursor.
// - A lost display, X11 or Wayland (the server or compositor gone, or the client's connection
//   killed as xkill does), ends the program with one line on stderr naming it and exit code 1,
//   from SDL's first connection to the last frame, without WM_DESTROY: nothing on the display
//   can be released any more. A display that only refuses one more client is not lost.
// Not emulated besides: the right and middle buttons and the wheel.
//
// Deviations from Windows, with the reasons: docs/platforms.md, one table for every platform.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Initialises SDL's video (never joysticks or game controllers: they turn waiting into polling).
// On failure returns false and fills `error` with one line naming the display it tried.
bool sdl_win32_start(std::string &error);
void sdl_win32_stop();

// The module handle that WinMain and the resource loaders receive.
HINSTANCE sdl_win32_module();

// Adds one image to the icon resource `resource_id` of the module; LoadIconA finds it there. The
// pixels are 0xAARRGGBB words, row by row from the top, and are copied. The window gets the
// largest image of its class's icon (of equal sizes, the one added last: icon files list the
// deeper colours last). Without images LoadIconA returns null, as for a missing resource.
void sdl_win32_add_icon_image(int resource_id, int width, int height, const std::uint32_t *argb);

// Adds every bitmap image of an icon file (.ico, as the Windows build's .rc compiles it in) to the
// icon resource `resource_id`. False when the file holds no image this can read.
bool sdl_win32_add_icon_resource(int resource_id, const unsigned char *ico, std::size_t size);

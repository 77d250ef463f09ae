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
// - A lost X connection (server gone, or the client killed as xkill does) ends the program with
//   one line on stderr and exit code 1, without WM_DESTROY: nothing on the display can be
//   released any more, and Xlib's own exit would hang in the window's destruction.
// Not emulated besides: the right and middle buttons and the wheel.
//
// Known deviations from Windows:
//
// call              | Windows                 | this layer              | why
// ------------------+-------------------------+-------------------------+------------------------
// CreateWindowExA,  | sizes include the frame | sizes are the client    | the frame is the window
// SetWindowPos      |                         | area's                  | manager's: the picture
//                   |                         |                         | is not squashed, and the
//                   |                         |                         | trackball centre is the
//                   |                         |                         | client centre
// close button      | WM_SYSCOMMAND, then     | WM_CLOSE is queued;     | no WM_SYSCOMMAND here
//                   | WM_CLOSE                | SDL_QUIT closes all     |
// SetPixelFormat    | many formats            | one, sized by the last  | X11 fixes a window's
//                   |                         | ChoosePixelFormat; the  | visual when it is made;
//                   |                         | depth asked for exactly | GLX alone gives the
//                   |                         | where offered, else one | deepest, and the depth
//                   |                         | line on stderr          | bits decide the picture
// SwapBuffers       | any device context      | the window's context    | SDL swaps the current
//                   |                         | must be current         | window only
// MessageBoxA       | windows keep getting    | windows get nothing     | SDL's box runs its own
//                   | sent messages           | while the box is up     | loop
// MessageBoxA       | always shows a box      | without a box: cause,   | SDL's X11 box needs a
//                   |                         | caption and text on     | core font, which a bare
//                   |                         | stderr, answers IDOK    | X server lacks
// SetCapture        | takes the pointer now   | once the window has the | SDL's rule; losing the
//                   |                         | focus (retried)         | focus ends the capture
// key messages      | scan codes, WM_SYSCHAR  | no scan code, Alt       | SDL has neither; keys
//                   | for Alt combinations    | characters dropped      | with no Win32 code 0xFF
// message times     | ms since boot           | ms since SDL started    | SDL's clock
// pointer input     | outside the window it   | dropped unless captured | no windows underneath
//                   | goes to the one below   |                         | are ours
// SetWindowPos on a | sets the size           | restores, then sets it  | SDL keeps a maximised
// maximised window  |                         |                         | window at the WM's size
// signals           | end the process         | keep their default; the | SDL's handlers would
//                   |                         | box's child dies too    | turn them into close
//                   |                         | (Linux only)            | requests a box swallows
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

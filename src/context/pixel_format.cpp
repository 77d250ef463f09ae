// The request is accepted as the platform answers it; only failure is examined.
#include "context/pixel_format.h"

#include "scene/viewer_state.h"

#include <cstdlib>

namespace {

[[noreturn]] void exit_with_error_box(HDC dc, const char *text) {
    // The owner is the window being created, so the box comes up in front of it.
    MessageBoxA(WindowFromDC(dc), text, "Error", MB_ICONERROR);
    std::exit(1);
}

} // namespace

void setup_pixel_format(HDC dc) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (viewer.double_buffered != 0)
        pfd.dwFlags |= PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 8;
    pfd.cDepthBits = viewer.depth_buffered != 0 ? 16 : 0;
    pfd.iLayerType = PFD_MAIN_PLANE;

    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0)
        exit_with_error_box(dc, "ChoosePixelFormat failed\n");
    if (SetPixelFormat(dc, format, &pfd) != TRUE)
        exit_with_error_box(dc, "SetPixelFormat failed");
}

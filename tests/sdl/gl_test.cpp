// The pixel format and the GL context: the format describes what the GL surface really has, the
// context draws with the fixed-function pipeline, and SwapBuffers presents. Palettes are honest
// no-ops on a true-colour display.
#include "layer_fixture.h"

#include <GL/gl.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace layer_test {
namespace {

using PixelFormat = LayerTest;
using Palettes = LayerTest;

// What the viewer asks for: RGBA, double-buffered, 8 colour bits, 16 depth bits.
PIXELFORMATDESCRIPTOR viewer_request() {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 8;
    pfd.cDepthBits = 16;
    return pfd;
}

GLint gl_integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(PixelFormat, DescribesTheSurfaceTheContextReallyHasAndPresents) {
    const HWND hwnd = create_shown_window();
    const HDC dc = GetDC(hwnd);
    EXPECT_EQ(WindowFromDC(dc), hwnd);
    EXPECT_EQ(GetPixelFormat(dc), 0);
    const PIXELFORMATDESCRIPTOR request = viewer_request();
    const int format = ChoosePixelFormat(dc, &request);
    ASSERT_EQ(format, 1);
    ASSERT_EQ(SetPixelFormat(dc, format, &request), TRUE);
    EXPECT_EQ(GetPixelFormat(dc), 1);
    EXPECT_EQ(SetPixelFormat(dc, 2, &request), FALSE);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "SetPixelFormat made a context current";

    PIXELFORMATDESCRIPTOR got = {};
    ASSERT_EQ(DescribePixelFormat(dc, format, sizeof got, &got), 1);
    EXPECT_EQ(got.nSize, sizeof got);
    EXPECT_EQ(got.dwFlags, static_cast<DWORD>(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                                              PFD_DOUBLEBUFFER)); // no palette needed
    EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(got.cDepthBits, 16); // exactly what was asked for: Mesa offers 16 here

    const HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(wglCreateContext(dc), nullptr) << "one context a window";
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "wglCreateContext made the context current";
    ASSERT_EQ(wglMakeCurrent(dc, context), TRUE);
    EXPECT_EQ(gl_integer(GL_RED_BITS), got.cRedBits);
    EXPECT_EQ(gl_integer(GL_GREEN_BITS), got.cGreenBits);
    EXPECT_EQ(gl_integer(GL_BLUE_BITS), got.cBlueBits);
    EXPECT_EQ(gl_integer(GL_ALPHA_BITS), got.cAlphaBits);
    EXPECT_EQ(gl_integer(GL_DEPTH_BITS), got.cDepthBits);
    EXPECT_EQ(gl_integer(GL_STENCIL_BITS), got.cStencilBits);
    EXPECT_EQ(gl_integer(GL_DOUBLEBUFFER), 1);

    // Fixed-function drawing works (a core profile would refuse it), and the frame is presented.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(-1.0f, 0.0f);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(SwapBuffers(dc), TRUE);
    glFinish();
    // What the X server shows at the window's centre.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(SDL_GetWindowWMInfo(sdl_win32_sdl_window(hwnd), &info), SDL_TRUE);
    XSync(info.info.x11.display, False);
    XImage *image =
        XGetImage(info.info.x11.display, info.info.x11.window, 100, 100, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFFu, 0xFF0000u);
    XDestroyImage(image);

    EXPECT_EQ(wglMakeCurrent(nullptr, nullptr), TRUE);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_EQ(wglDeleteContext(context), TRUE);
    EXPECT_EQ(wglDeleteContext(context), FALSE);
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
}

TEST_F(PixelFormat, NoContextWithoutAFormatAndNoColourIndexFormat) {
    const HWND hwnd = create_window();
    const HDC dc = GetDC(hwnd);
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    PIXELFORMATDESCRIPTOR request = viewer_request();
    request.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 0);
}

TEST_F(Palettes, ExistAsObjectsButMapNothingOnATrueColourDisplay) {
    const HWND hwnd = create_window();
    const HDC dc = GetDC(hwnd);
    struct {
        LOGPALETTE header;
        PALETTEENTRY more[3];
    } log_palette = {{0x300, 4, {{255, 0, 0, 0}}}, {{0, 255, 0, 0}, {0, 0, 255, 0}, {9, 9, 9, 0}}};
    const HPALETTE palette = CreatePalette(&log_palette.header);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), nullptr) << "no stock palette to give back";
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), palette);
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_EQ(UnrealizeObject(palette), TRUE);
    EXPECT_EQ(UnrealizeObject(reinterpret_cast<HGDIOBJ>(dc)), FALSE);
    PALETTEENTRY system[4] = {};
    system[0].peRed = 77;
    EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 4, system), 0u);
    EXPECT_EQ(system[0].peRed, 77) << "there is no system palette to copy from";
    log_palette.header.palVersion = 0x200;
    EXPECT_EQ(CreatePalette(&log_palette.header), nullptr);
}

} // namespace
} // namespace layer_test

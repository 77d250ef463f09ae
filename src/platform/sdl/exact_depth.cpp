// The X visual of a GLX configuration whose depth buffer has exactly the bits asked for. GLX lists
// the configurations that satisfy a request deepest depth buffer first and SDL takes the first,
// so a 16-bit request gets 24 or 32 bits; Windows gives 16, and the depth bits decide which of two
// coincident faces is drawn. The GLX entry points come through SDL, which has loaded libGL.
#include "platform/sdl/state.h"

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <GL/glx.h>
#endif

namespace sdl_layer {

#if defined(SDL_VIDEO_DRIVER_X11)

unsigned long exact_depth_visual(SDL_Window *window, const Sizes &sizes) {
    // SDL's EGL driver (the subset's ES context) already takes the closest depth, and then
    // SDL_GL_GetProcAddress asks eglGetProcAddress, which answers glX names with non-null pointers.
    if (SDL_GetHintBoolean(SDL_HINT_OPENGL_ES_DRIVER, SDL_FALSE))
        return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return 0;
    using Choose = GLXFBConfig *(*)(Display *, int, const int *, int *);
    using Attribute = int (*)(Display *, GLXFBConfig, int, int *);
    const auto choose = reinterpret_cast<Choose>(SDL_GL_GetProcAddress("glXChooseFBConfig"));
    const auto attribute =
        reinterpret_cast<Attribute>(SDL_GL_GetProcAddress("glXGetFBConfigAttrib"));
    if (choose == nullptr || attribute == nullptr)
        return 0;
    // clang-format off
    const int request[] = {GLX_X_RENDERABLE, True,
                           GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                           GLX_RENDER_TYPE, GLX_RGBA_BIT,
                           GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
                           GLX_DOUBLEBUFFER, sizes.double_buffer ? True : False,
                           GLX_RED_SIZE, sizes.red,
                           GLX_GREEN_SIZE, sizes.green,
                           GLX_BLUE_SIZE, sizes.blue,
                           GLX_ALPHA_SIZE, sizes.alpha,
                           GLX_DEPTH_SIZE, sizes.depth,
                           GLX_STENCIL_SIZE, sizes.stencil,
                           None};
    // clang-format on
    Display *display = info.info.x11.display;
    int count = 0;
    GLXFBConfig *configs = choose(display, DefaultScreen(display), request, &count);
    unsigned long visual = 0;
    // The first in GLX's order with the exact depth is the best match for everything else.
    for (int i = 0; i < count && visual == 0; ++i) {
        int depth = -1, id = 0;
        attribute(display, configs[i], GLX_DEPTH_SIZE, &depth);
        attribute(display, configs[i], GLX_VISUAL_ID, &id);
        if (depth == sizes.depth && id != 0)
            visual = static_cast<unsigned long>(id);
    }
    if (configs != nullptr)
        XFree(configs);
    return visual;
}

#else

unsigned long exact_depth_visual(SDL_Window *, const Sizes &) {
    return 0;
}

#endif

} // namespace sdl_layer

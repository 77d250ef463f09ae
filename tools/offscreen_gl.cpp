// Surfaceless EGL: needs no display server, so it runs the same in CI as on a desktop.
#include "offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <vector>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;

bool fail(std::string *error, const char *what) {
    if (error)
        *error = std::string(what) + " (EGL error 0x" + [] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%04x", static_cast<unsigned>(eglGetError()));
            return std::string(hex);
        }() + ")";
    destroy_offscreen_context();
    return false;
}

EGLint attrib(EGLConfig config, EGLint name) {
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// eglChooseConfig sorts by depth but accepts deeper buffers; the picture depends on the exact
// depth (which copy of a doubled triangle wins), so pick the config with exactly the bits asked.
EGLConfig exact_config(int depth_bits, EGLint renderable) {
    EGLint count = 0;
    eglGetConfigs(display, nullptr, 0, &count);
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglGetConfigs(display, configs.data(), count, &count);
    for (EGLConfig c : configs) {
        if (attrib(c, EGL_RED_SIZE) == 8 && attrib(c, EGL_GREEN_SIZE) == 8 &&
            attrib(c, EGL_BLUE_SIZE) == 8 && attrib(c, EGL_ALPHA_SIZE) == 8 &&
            attrib(c, EGL_DEPTH_SIZE) == depth_bits && attrib(c, EGL_STENCIL_SIZE) == 0 &&
            (attrib(c, EGL_SURFACE_TYPE) & EGL_PBUFFER_BIT) &&
            (attrib(c, EGL_RENDERABLE_TYPE) & renderable) &&
            attrib(c, EGL_COLOR_BUFFER_TYPE) == EGL_RGB_BUFFER)
            return c;
    }
    return nullptr;
}

} // namespace

bool create_offscreen_context(int width, int height, int depth_bits, OffscreenApi api,
                              std::string *error) {
    destroy_offscreen_context();
    const bool es2 = api == OffscreenApi::es2;
    auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!get_platform_display)
        return fail(error, "eglGetPlatformDisplayEXT is missing");
    display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return fail(error, "no surfaceless EGL display");
    if (!eglBindAPI(es2 ? EGL_OPENGL_ES_API : EGL_OPENGL_API))
        return fail(error, es2 ? "OpenGL ES is not available through EGL"
                               : "desktop OpenGL is not available through EGL");
    EGLConfig config = exact_config(depth_bits, es2 ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT);
    if (!config) {
        if (error)
            *error = "no RGBA8 pbuffer config with exactly " + std::to_string(depth_bits) +
                     " depth bits";
        destroy_offscreen_context();
        return false;
    }
    const EGLint surface_attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surface_attribs);
    if (surface == EGL_NO_SURFACE)
        return fail(error, "cannot create the pbuffer");
    // A compatibility context: the viewer draws with the fixed-function pipeline.
    const EGLint desktop_attribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    const EGLint es2_attribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    context =
        eglCreateContext(display, config, EGL_NO_CONTEXT, es2 ? es2_attribs : desktop_attribs);
    if (context == EGL_NO_CONTEXT)
        return fail(error, "cannot create the OpenGL context");
    if (!eglMakeCurrent(display, surface, surface, context))
        return fail(error, "cannot make the OpenGL context current");
    return true;
}

void destroy_offscreen_context() {
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    if (surface != EGL_NO_SURFACE)
        eglDestroySurface(display, surface);
    eglTerminate(display);
    display = EGL_NO_DISPLAY;
    surface = EGL_NO_SURFACE;
    context = EGL_NO_CONTEXT;
}

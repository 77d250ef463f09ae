// WGL contexts and SwapBuffers over SDL's GL contexts.
#include "platform/sdl/gl_binding.h"
#include "platform/sdl/state.h"

#include <cstdio>
#include <utility>

using namespace sdl_layer;

HGLRC WINAPI wglCreateContext(HDC dc) {
    SdlWindow *window = sdl_window_of_dc(dc);
    if (window == nullptr || window->pixel_format == 0)
        return nullptr; // ERROR_INVALID_PIXEL_FORMAT
    // SetPixelFormat made the context with the surface, so that it could tell what it has.
    if (window->spare_context == nullptr) {
        unsupported("wglCreateContext", "a second context on a window");
        return nullptr;
    }
    const SDL_GLContext context = std::exchange(window->spare_context, nullptr);
    const HGLRC handle = new_handle<HGLRC>();
    sdl_state().gl_contexts[handle_key(handle)] = context;
    return handle;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) { // releases the current context; the device context is ignored
        bind_gl_context(nullptr);
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? TRUE : FALSE;
    }
    const auto found = sdl_state().gl_contexts.find(handle_key(context));
    const SdlWindow *window = sdl_window_of_dc(dc);
    if (found == sdl_state().gl_contexts.end() || window == nullptr || window->pixel_format == 0)
        return FALSE;
    if (SDL_GL_MakeCurrent(window->sdl, found->second) != 0) {
        std::fprintf(stderr, "helicoid: wglMakeCurrent: %s\n", SDL_GetError());
        return FALSE;
    }
    return bind_gl_context(found->second) ? TRUE : FALSE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    const auto found = sdl_state().gl_contexts.find(handle_key(context));
    if (found == sdl_state().gl_contexts.end())
        return FALSE;
    // Deleting the thread's current context releases it first, as WGL does.
    if (SDL_GL_GetCurrentContext() == found->second)
        SDL_GL_MakeCurrent(nullptr, nullptr);
    forget_gl_context(found->second);
    SDL_GL_DeleteContext(found->second);
    sdl_state().gl_contexts.erase(found);
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    const SdlWindow *window = sdl_window_of_dc(dc);
    if (window == nullptr || window->pixel_format == 0)
        return FALSE;
    // SDL swaps only the window whose context is current.
    if (SDL_GL_GetCurrentWindow() != window->sdl)
        return FALSE;
    SDL_GL_SwapWindow(window->sdl);
    if (sdl_state().present_hook != nullptr)
        sdl_state().present_hook();
    return TRUE;
}

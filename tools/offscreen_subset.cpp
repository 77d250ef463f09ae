// The offscreen context for builds that draw through the OpenGL 1.1 subset: an ES 2.0 context,
// plugged into the subset with EGL's loader.
#include "offscreen_gl.h"
#include "platform/gles/gl_subset.h"

#include <EGL/egl.h>

namespace {

const void *bound = nullptr;

void *egl_loader(const char *name) {
    return reinterpret_cast<void *>(eglGetProcAddress(name));
}

} // namespace

bool create_offscreen_gl(int width, int height, int depth_bits, std::string *error) {
    destroy_offscreen_gl();
    if (!create_offscreen_context(width, height, depth_bits, OffscreenApi::es2, error))
        return false;
    bound = eglGetCurrentContext();
    if (!gl_subset_make_current(bound, egl_loader)) {
        if (error)
            *error = "the OpenGL 1.1 subset cannot draw on this ES 2.0 context";
        destroy_offscreen_gl();
        return false;
    }
    return true;
}

void destroy_offscreen_gl() {
    // EGL may hand the next context the same handle: its state must start afresh.
    if (bound != nullptr)
        gl_subset_forget(bound);
    bound = nullptr;
    destroy_offscreen_context();
}

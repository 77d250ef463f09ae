// The offscreen context for builds that draw with the platform's own OpenGL.
#include "offscreen_gl.h"

bool create_offscreen_gl(int width, int height, int depth_bits, std::string *error) {
    return create_offscreen_context(width, height, depth_bits, OffscreenApi::desktop, error);
}

void destroy_offscreen_gl() {
    destroy_offscreen_context();
}

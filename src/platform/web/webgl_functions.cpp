// The loader the OpenGL 1.1 subset reaches WebGL through: exactly the ES 2.0 functions it lists,
// so the page carries only those of Emscripten's WebGL bindings.
#include "platform/web/state.h"

#include "platform/gles/gl_subset.h"
#include "platform/opengl.h"

#include <cstring>

// Emscripten's WebGL bindings under their own names (the plain gl names are the subset's).
extern "C" {
#define WEB_DECLARE_ES2(result, name, parameters) result emscripten_gl##name parameters;
GL_SUBSET_ES2_FUNCTIONS(WEB_DECLARE_ES2)
#undef WEB_DECLARE_ES2
}

namespace {

struct Entry {
    const char *name;
    void *address;
};

#define WEB_ES2_ENTRY(result, name, parameters)                                                    \
    Entry{"gl" #name, reinterpret_cast<void *>(&emscripten_gl##name)},
const Entry entries[] = {GL_SUBSET_ES2_FUNCTIONS(WEB_ES2_ENTRY)};
#undef WEB_ES2_ENTRY

} // namespace

namespace web_layer {

void *webgl_function(const char *name) {
    for (const Entry &entry : entries)
        if (std::strcmp(entry.name, name) == 0)
            return entry.address;
    return nullptr;
}

} // namespace web_layer

// A lost WebGL context (a GPU reset, or the browser reclaiming it) and its return. Meanwhile the
// page says that the picture is lost for the moment and the subset drops the draws; once the
// browser gives the context back, the framebuffer and the subset's objects are made again and
// the window is painted again.
#include "platform/web/state.h"

#include "platform/gles/gl_subset.h"

#include <emscripten/html5.h>

#include <cstdio>

using namespace web_layer;

namespace {

EM_BOOL on_lost(int, const void *, void *) {
    const WebWindow *window = the_window();
    if (window != nullptr && window->webgl != 0)
        gl_subset_lost(subset_key(window->webgl));
    web_show_lost(1);
    return EM_TRUE; // prevents the default action, which refuses the context's return
}

EM_BOOL on_restored(int, const void *, void *) {
    WebWindow *window = the_window();
    if (window == nullptr || window->webgl == 0)
        return EM_TRUE;
    // A restored WebGL context is the same context, still current, with nothing in it.
    if (web_remake_framebuffer() == 0 || !gl_subset_restored(subset_key(window->webgl))) {
        std::fprintf(stderr, "helicoid: the WebGL context came back, but cannot draw again\n");
        return EM_TRUE;
    }
    web_show_lost(0);
    report::contents_lost(window->handle);
    web_wake();
    return EM_TRUE;
}

} // namespace

namespace web_layer {

void listen_to_context_loss() {
    emscripten_set_webglcontextlost_callback(canvas_selector, nullptr, EM_FALSE, on_lost);
    emscripten_set_webglcontextrestored_callback(canvas_selector, nullptr, EM_FALSE, on_restored);
}

} // namespace web_layer

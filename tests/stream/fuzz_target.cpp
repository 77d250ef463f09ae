// libFuzzer entry: the same message streams as the property test, from the fuzzer's bytes.
#include "message_stream.h"
#include "offscreen_gl.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool ready = [] {
        std::string error;
        if (!create_offscreen_gl(64, 64, 16, &error)) {
            std::fprintf(stderr, "no offscreen GL context: %s\n", error.c_str());
            std::abort();
        }
        return true;
    }();
    (void)ready;
    viewer = ViewerState{};
    viewer.window_width = viewer.window_height = 64;
    win32_double::reset();
    const std::string broken = run_message_stream(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

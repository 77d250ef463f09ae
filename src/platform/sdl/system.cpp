// Screen metrics.
#include "platform/sdl/state.h"

#include <cstdio>

using namespace sdl_layer;

int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        unsupported("GetSystemMetrics", "a metric other than the screen size");
        return 0;
    }
    // Display 0 is the primary one, which is what Windows calls the screen.
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        std::fprintf(stderr, "helicoid: GetSystemMetrics: %s\n", SDL_GetError());
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

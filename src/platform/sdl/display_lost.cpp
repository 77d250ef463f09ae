// A lost X connection ends the program at once. Xlib's default handler calls exit(), whose
// handlers destroy the layer's windows through the dead connection, and Xlib then waits for
// ever for a reply that cannot come, with a core busy. The layer's own handler reports the loss
// in one line and leaves with _exit: nothing the display held can be released any more, and the
// server has already dropped it.
#include "platform/sdl/state.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

namespace {

pid_t program = 0;

[[noreturn]] void report_and_exit(const char *name) {
    std::fprintf(stderr, "helicoid: lost the connection to the display \"%s\"\n", name);
    std::fflush(stderr);
    _exit(1);
}

[[noreturn]] int display_lost(Display *display) {
    // A box's child process (SDL forks one for its X11 box) leaves quietly: the program itself
    // finds the display gone when the box fails, and says so once.
    if (getpid() != program)
        _exit(1);
    report_and_exit(DisplayString(display));
}

} // namespace

void sdl_layer::exit_when_display_lost() {
    program = getpid();
    XSetIOErrorHandler(display_lost);
}

void sdl_layer::exit_if_display_gone() {
    if (program == 0)
        return;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        report_and_exit(XDisplayName(nullptr));
    XCloseDisplay(display);
}

#else

void sdl_layer::exit_when_display_lost() {}
void sdl_layer::exit_if_display_gone() {}

#endif

// Why SDL's X11 message box cannot open on the display. It draws with X core fonts, which
// minimal X servers (Xvfb without font packages) lack.
#include "platform/sdl/state.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>

std::string sdl_layer::x11_message_box_problem() {
    // SDL's pattern for its box font; any match is enough for it to open.
    static const char pattern[] = "-*-*-medium-r-normal--*-120-*-*-*-*-*-*";
    // The same display the box's own connection opens: the one DISPLAY names.
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return {};
    int count = 0;
    if (char **names = XListFonts(display, pattern, 1, &count); names != nullptr)
        XFreeFontNames(names);
    XCloseDisplay(display);
    if (count != 0)
        return {};
    return std::string("the X server has no font matching ") + pattern +
           ", which SDL's message box draws with (Debian's xfonts-base has one)";
}

#else

std::string sdl_layer::x11_message_box_problem() {
    return {};
}

#endif

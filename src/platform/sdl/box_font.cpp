// Why SDL's X11 message box cannot open on the display: the server takes no more clients, or it
// lacks the X core fonts the box draws with, as minimal X servers (Xvfb without font packages) do.
#include "platform/sdl/state.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>

#include <cstring>

std::string sdl_layer::x11_message_box_problem() {
    // SDL's pattern for its box font; any match is enough for it to open.
    static const char pattern[] = "-*-*-medium-r-normal--*-120-*-*-*-*-*-*";
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return {};
    // The same display the box's own connection opens: the one DISPLAY names. The display is
    // not gone (the caller has made sure), so it refuses clients: it is full, or the box is not
    // allowed in (Xlib has printed the server's reason).
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return "the X server refused the box's connection (a full server does so)";
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

// Why SDL's X11 message box cannot open on the display. It draws with X core fonts, which
// minimal X servers (Xvfb without font packages) lack. libX11 is loaded at run time, as SDL loads
// it, so the layer links no X library and still builds where there is none.
#include "platform/sdl/state.h"

#include <dlfcn.h>

namespace {

// SDL's pattern for its box font; any match is enough for it to open.
constexpr const char *box_font_pattern = "-*-*-medium-r-normal--*-120-*-*-*-*-*-*";

using OpenDisplay = void *(*)(const char *);
using CloseDisplay = int (*)(void *);
using ListFonts = char **(*)(void *, const char *, int, int *);
using FreeFontNames = int (*)(char **);

} // namespace

std::string sdl_layer::x11_message_box_problem() {
    void *xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (xlib == nullptr)
        return {};
    const auto open_display = reinterpret_cast<OpenDisplay>(dlsym(xlib, "XOpenDisplay"));
    const auto close_display = reinterpret_cast<CloseDisplay>(dlsym(xlib, "XCloseDisplay"));
    const auto list_fonts = reinterpret_cast<ListFonts>(dlsym(xlib, "XListFonts"));
    const auto free_names = reinterpret_cast<FreeFontNames>(dlsym(xlib, "XFreeFontNames"));
    std::string problem;
    if (open_display != nullptr && close_display != nullptr && list_fonts != nullptr &&
        free_names != nullptr) {
        // The same display the box's own connection opens: the one DISPLAY names.
        if (void *display = open_display(nullptr); display != nullptr) {
            int count = 0;
            if (char **names = list_fonts(display, box_font_pattern, 1, &count); names != nullptr)
                free_names(names);
            if (count == 0)
                problem = std::string("the X server has no font matching ") + box_font_pattern +
                          ", which SDL's message box draws with (Debian's xfonts-base has one)";
            close_display(display);
        }
    }
    dlclose(xlib);
    return problem;
}

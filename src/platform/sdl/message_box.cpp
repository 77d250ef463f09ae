// The modal message box: SDL's box, or its content on stderr when no box can be shown.
#include "platform/sdl/state.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace sdl_layer;

namespace {

// SDL's X11 box reports no reason of its own (its child process loses it, and SDL_GetError keeps
// whatever an earlier attempt, such as zenity, left behind), so the cause is found here.
std::string why_no_box() {
    std::string cause = x11_message_box_problem();
    if (!cause.empty())
        return cause;
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0)
        return "SDL's X11 message box failed without saying why";
    const char *error = SDL_GetError();
    return *error != '\0' ? error : "SDL gave no reason";
}

// A start-up box that cannot open must not take its text with it: the caption and text go to
// stderr, marked as the box's, and the call answers as a box dismissed with OK would.
void print_box(const char *caption, const char *text, const std::string &cause) {
    std::fprintf(stderr, "helicoid: MessageBoxA: no message box can be shown: %s\n", cause.c_str());
    std::fprintf(stderr, "helicoid: the box's caption: %s\n", caption);
    const char *line = text;
    for (;;) {
        const char *end = std::strchr(line, '\n');
        const int length = static_cast<int>(end != nullptr ? end - line : std::strlen(line));
        std::fprintf(stderr, "helicoid: the box's text: %.*s\n", length, line);
        if (end == nullptr)
            break;
        line = end + 1;
    }
    std::fprintf(stderr, "helicoid: (the box counts as dismissed with OK)\n");
}

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (sdl_state().message_box_hook != nullptr)
        return sdl_state().message_box_hook(owner, text, caption, type);
    if (type != MB_OK && type != (MB_OK | MB_ICONERROR)) {
        unsupported("MessageBoxA", "a box with buttons other than OK or with options");
        return 0;
    }
    const Uint32 flags = type == MB_OK ? 0 : SDL_MESSAGEBOX_ERROR;
    SDL_Window *parent = nullptr;
    if (owner != nullptr) {
        const SdlWindow *window = find_sdl_window(owner);
        if (window == nullptr)
            return 0; // ERROR_INVALID_WINDOW_HANDLE
        parent = window->sdl;
    }
    // A null caption is "Error" on Windows.
    const char *shown_caption = caption != nullptr ? caption : "Error";
    const char *shown_text = text != nullptr ? text : "";
    // SDL's box runs its own loop until dismissed, so the call is modal as on Windows.
    SDL_ClearError();
    watch_during_box(false);
    box_children_die_with_program(true);
    const int failed = SDL_ShowSimpleMessageBox(flags, shown_caption, shown_text, parent);
    box_children_die_with_program(false);
    watch_during_box(true);
    if (failed != 0) {
        exit_if_display_gone();
        print_box(shown_caption, shown_text, why_no_box());
    }
    // Closing an OK box by its frame also answers IDOK.
    return IDOK;
}

// The browser start-up: the keyboard, then the program's WinMain, whose result is the exit code
// that the page shows.
#include "platform/web/state.h"

#include <cstdlib>

int main() {
    // Also when the program calls exit() itself, as after a failure box. The state is made first,
    // so that it is destroyed after this handler has run (exit runs handlers in reverse order).
    win32_core::shared_state();
    web_layer::web_state();
    std::atexit(web_win32_stop);
    web_layer::listen_to_keys();
    char command_line[] = "";
    const int exit_code = WinMain(web_win32_module(), nullptr, command_line, SW_SHOWDEFAULT);
    // exit() rather than a return: after Asyncify has rewound main, only exit() reaches the page.
    std::exit(exit_code);
}

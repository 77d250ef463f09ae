// The browser start-up: the keyboard, then the program's WinMain, whose result is the exit code
// that the page shows.
#include "platform/web/state.h"

#include <cstdlib>

int main() {
    web_layer::listen_to_keys();
    char command_line[] = "";
    const int exit_code = WinMain(web_win32_module(), nullptr, command_line, SW_SHOWDEFAULT);
    web_win32_stop();
    // exit() rather than a return: after Asyncify has rewound main, only exit() reaches the page.
    std::exit(exit_code);
}

// The native start-up: SDL's video, then the program's WinMain, whose result is the exit code.
#include "platform/sdl/sdl_win32.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char *program_name(const char *argv0) {
    if (argv0 == nullptr || *argv0 == '\0')
        return "helicoid";
    const char *slash = std::strrchr(argv0, '/');
    return slash != nullptr ? slash + 1 : argv0;
}

// What Windows passes as the command line after the program name.
std::string command_line(int argc, char **argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        const bool quote = std::strpbrk(argv[i], " \t") != nullptr || *argv[i] == '\0';
        // Appended piecewise: GCC 12 warns falsely (-Wrestrict) about "\"" + std::string(...).
        if (quote)
            line += '"';
        line += argv[i];
        if (quote)
            line += '"';
    }
    return line;
}

} // namespace

int main(int argc, char **argv) {
    std::string error;
    if (!sdl_win32_start(error)) {
        std::fprintf(stderr, "%s: %s\n", program_name(argc > 0 ? argv[0] : nullptr), error.c_str());
        return 1;
    }
    std::string line = command_line(argc, argv);
    const int exit_code = WinMain(sdl_win32_module(), nullptr, line.data(), SW_SHOWDEFAULT);
    sdl_win32_stop();
    return exit_code;
}

// A WinMain that reports what the start-up handed it, for the start-up tests.
#include "platform/win32.h"

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    if (std::strcmp(command_line, "box") == 0) {
        std::printf("box answered %d\n", MessageBoxA(nullptr, "probe text", "probe box", MB_OK));
        return 0;
    }
    std::printf("instance %s, previous %s, command line [%s], show %d\n",
                instance != nullptr ? "set" : "null", previous != nullptr ? "set" : "null",
                command_line, show);
    return 7;
}

// Message names and side-by-side comparison of recorded sequences.
#include "sequence.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

std::string message_name(UINT message) {
    switch (message) {
    case WM_CREATE:
        return "WM_CREATE";
    case WM_DESTROY:
        return "WM_DESTROY";
    case WM_SIZE:
        return "WM_SIZE";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_CLOSE:
        return "WM_CLOSE";
    case WM_QUIT:
        return "WM_QUIT";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_TIMER:
        return "WM_TIMER";
    case WM_MOUSEMOVE:
        return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_CAPTURECHANGED:
        return "WM_CAPTURECHANGED";
    case WM_QUERYNEWPALETTE:
        return "WM_QUERYNEWPALETTE";
    case WM_PALETTECHANGED:
        return "WM_PALETTECHANGED";
    default:
        return "0x" + [&] {
            char t[16];
            std::snprintf(t, sizeof t, "%04x", message);
            return std::string(t);
        }();
    }
}

::testing::AssertionResult same_sequence(const std::vector<std::string> &expected,
                                         const std::vector<std::string> &actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    size_t width = 8;
    for (const std::string &line : expected)
        width = std::max(width, line.size());
    std::ostringstream table;
    table << "\n  " << std::string("expected").append(width - 8, ' ') << " | actual\n";
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string e = i < expected.size() ? expected[i] : "";
        const std::string a = i < actual.size() ? actual[i] : "";
        table << (e == a ? "  " : "! ") << e << std::string(width - e.size(), ' ') << " | " << a
              << '\n';
    }
    return ::testing::AssertionFailure() << table.str();
}

// Screen metrics (the page's viewport), the modal message box, and the class icon.
#include "platform/web/state.h"

#include <algorithm>

using namespace web_layer;

namespace {

// The viewer's window: a square 80 per cent of the screen's height, 50 pixels from its left.
constexpr double window_share = 0.8;
constexpr int window_left = 50;

bool window_fits(int screen_height, int screen_width) {
    return static_cast<int>(screen_height * window_share) + window_left <= screen_width;
}

// The page's screen is its viewport. A viewport too narrow for the window (a phone upright) is
// reported as a shorter screen, the tallest whose window fits beside its place, so the program
// makes a window that fits and its projection and trackball use that real side. Never so short
// that the window has no pixel: both divide by its side. Where even that does not fit, the page
// scales the window down to show it (canvas.js).
int screen_height() {
    constexpr int shortest = 2; // 80 per cent of it is 1
    const int width = web_viewport(0);
    int height = web_viewport(1);
    if (!window_fits(height, width)) {
        height = static_cast<int>((width - window_left) / window_share) + 1;
        while (height > shortest && !window_fits(height, width))
            --height;
    }
    return std::max(height, shortest);
}

} // namespace

int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        unsupported("GetSystemMetrics", "a metric other than the screen size");
        return 0;
    }
    return index == SM_CYSCREEN ? screen_height() : web_viewport(0);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (type != MB_OK && type != (MB_OK | MB_ICONERROR)) {
        unsupported("MessageBoxA", "a box with buttons other than OK or with options");
        return 0;
    }
    if (owner != nullptr && find_window(owner) == nullptr)
        return 0; // ERROR_INVALID_WINDOW_HANDLE
    // Modal: the program sleeps until the box is dismissed, and the window takes no input.
    web_state().box_up = true;
    // A null caption is "Error" on Windows.
    web_message_box(text != nullptr ? text : "", caption != nullptr ? caption : "Error",
                    (type & MB_ICONERROR) != 0 ? 1 : 0);
    web_state().box_up = false;
    return IDOK;
}

// The page has no icons: the class keeps none, as for a missing resource.
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}

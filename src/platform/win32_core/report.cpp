// The entry points of the platform's events that are not keys: the pointer and its capture, the
// window manager's requests and news, the surface's pixel format, and the end of the process.
#include "platform/win32_core/rules.h"

#include <algorithm>

using namespace win32_core;

namespace {

Window *live_window(HWND hwnd) {
    Window *window = find_window(hwnd);
    return window == nullptr || window->destroying ? nullptr : window;
}

bool close_queued(HWND hwnd) {
    return std::any_of(state().input.begin(), state().input.end(), [hwnd](const auto &queued) {
        return queued.msg.hwnd == hwnd && queued.msg.message == WM_CLOSE;
    });
}

} // namespace

void report::pointer(HWND source, UINT message, int x, int y, bool left_button,
                     Modifiers modifiers) {
    const State &s = state();
    const Window *from = find_window(source);
    // A platform may lose track of a captured pointer that left the window; its coordinates are
    // still the capturing window's.
    if (from == nullptr && s.capture != nullptr)
        from = find_window(s.capture);
    if (from == nullptr)
        return;
    const Window *target = from;
    if (s.capture != nullptr) {
        // A captured pointer belongs to the capturing window, wherever it is.
        target = find_window(s.capture);
        if (target == nullptr)
            return;
        x += from->x - target->x;
        y += from->y - target->y;
    } else if (x < 0 || y < 0 || x >= from->width || y >= from->height) {
        return; // on Windows this goes to the window underneath
    }
    if (target->destroying)
        return;
    const WPARAM flags = (left_button ? MK_LBUTTON : 0) | (modifiers.shift ? MK_SHIFT : 0) |
                         (modifiers.control ? MK_CONTROL : 0);
    state().cursor = POINT{target->x + x, target->y + y};
    queue_input(make_message(target->handle, message, flags, make_lparam(x, y)));
}

// As when Windows deactivates an application: the capture ends and its owner is told.
void report::capture_lost() {
    if (state().capture != nullptr)
        ReleaseCapture();
}

void report::close_request(HWND hwnd) {
    if (live_window(hwnd) != nullptr && !close_queued(hwnd))
        queue_input(make_message(hwnd, WM_CLOSE, 0, 0));
}

void report::quit_request() {
    for (const auto &entry : state().windows)
        close_request(entry.second->handle);
}

void report::moved(HWND hwnd, int x, int y) {
    if (Window *window = live_window(hwnd)) {
        window->x = x;
        window->y = y;
    }
}

// Sizes the layer set itself come back from the window manager: only news count.
void report::resized(HWND hwnd, int width, int height, bool maximized) {
    const Window *window = live_window(hwnd);
    if (window != nullptr && (width != window->width || height != window->height))
        client_resized(hwnd, width, height, maximized ? size_maximized : size_restored);
}

void report::minimized(HWND hwnd) {
    Window *window = live_window(hwnd);
    if (window == nullptr || window->minimized)
        return;
    window->minimized = true;
    send_message(hwnd, WM_SIZE, size_minimized, 0);
}

void report::restored(HWND hwnd) {
    Window *window = live_window(hwnd);
    if (window == nullptr || !window->minimized)
        return;
    window->minimized = false;
    window->invalid = window->visible;
    send_message(hwnd, WM_SIZE, size_restored, make_lparam(window->width, window->height));
}

void report::contents_lost(HWND hwnd) {
    if (Window *window = live_window(hwnd))
        window->invalid = window->invalid || window->visible;
}

void report::pixel_format_set(HWND hwnd, int format, const Sizes &sizes) {
    Window *window = find_window(hwnd);
    if (window == nullptr)
        return;
    window->pixel_format = format;
    window->format = describe(sizes);
    // A new surface holds no picture yet.
    window->invalid = window->invalid || window->visible;
}

void report::process_ended() {
    State &s = state();
    s.windows.clear();
    s.posted.clear();
    s.input.clear();
    s.key_down = QueuedMessage{};
    s.capture = nullptr;
    s.quit_requested = false;
    s.peeked_after_poll = false;
}

// The shared state, its lookups and diagnostics.
#include "platform/win32_core/rules.h"

#include <cstdio>

namespace win32_core {

namespace {

// The module handle only has to be non-null and stable; resources are looked up by it.
char module_tag;

} // namespace

State &state() {
    static State the_state;
    return the_state;
}

const State &shared_state() {
    return state();
}

void set_tracer(Tracer tracer) {
    state().tracer = tracer;
}

std::uintptr_t next_handle() {
    return ++state().last_handle;
}

HINSTANCE module_handle() {
    return reinterpret_cast<HINSTANCE>(&module_tag);
}

Window *find_window(HWND hwnd) {
    const auto it = state().windows.find(handle_key(hwnd));
    return it == state().windows.end() ? nullptr : it->second.get();
}

Window *window_of_dc(HDC dc) {
    if (dc == nullptr)
        return nullptr;
    for (auto &entry : state().windows)
        if (entry.second->dc == dc)
            return entry.second.get();
    return nullptr;
}

void unsupported(const char *call, const char *what) {
    std::fprintf(stderr, "helicoid: %s: %s is not supported on this platform\n", call, what);
}

void trace(const char *event, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (state().tracer != nullptr)
        state().tracer(event, hwnd, message, wparam, lparam);
}

LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const Window *window = find_window(hwnd);
    if (window == nullptr)
        return 0;
    trace("send", hwnd, message, wparam, lparam);
    return window->window_class->proc(hwnd, message, wparam, lparam);
}

} // namespace win32_core

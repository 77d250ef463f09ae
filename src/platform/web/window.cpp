// Window classes and the one window: creation, showing, placing, painting, destruction, device
// contexts. The window is a canvas in the page.
#include "platform/web/state.h"

#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <cctype>
#include <cmath>

using namespace web_layer;

namespace {

constexpr UINT supported_class_styles = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
constexpr DWORD supported_styles = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr ATOM first_class_atom = 0xC000;

bool is_atom(LPCSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// Class names compare without regard to case, as Win32 compares them.
bool same_name(const std::string &a, const char *b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

const WindowClass *find_class(LPCSTR name) {
    for (const auto &window_class : state().classes) {
        if (is_atom(name)
                ? window_class->atom == static_cast<ATOM>(reinterpret_cast<UINT_PTR>(name))
                : same_name(window_class->name, name))
            return window_class.get();
    }
    return nullptr;
}

// CSS pixels for the page's layout, device pixels for what WebGL draws, so the picture is sharp.
void size_canvas(int width, int height) {
    const double ratio = emscripten_get_device_pixel_ratio();
    emscripten_set_element_css_size(canvas_selector, width, height);
    emscripten_set_canvas_element_size(canvas_selector,
                                       std::max(1, static_cast<int>(std::lround(width * ratio))),
                                       std::max(1, static_cast<int>(std::lround(height * ratio))));
}

void client_resized(HWND hwnd, int width, int height) {
    Window *window = find_window(hwnd);
    if (window == nullptr)
        return;
    window->width = width;
    window->height = height;
    size_canvas(width, height);
    int backing_width = 0;
    int backing_height = 0;
    emscripten_get_canvas_element_size(canvas_selector, &backing_width, &backing_height);
    web_size_framebuffer(backing_width, backing_height);
    // Resizing a canvas clears it: everything is to be painted again.
    if (window->visible)
        window->invalid = true;
    send_message(hwnd, WM_SIZE, size_restored, make_lparam(width, height));
}

} // namespace

// ==== Window classes ====

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr)
        return 0;
    if (is_atom(wc->lpszClassName) || (wc->style & ~supported_class_styles) != 0 ||
        wc->cbClsExtra != 0 || wc->cbWndExtra != 0 || wc->lpszMenuName != nullptr ||
        wc->hbrBackground != nullptr) {
        unsupported("RegisterClassA", "an atom name, a class style beyond CS_OWNDC, CS_HREDRAW "
                                      "and CS_VREDRAW, extra bytes, a menu or a brush");
        return 0;
    }
    if (find_class(wc->lpszClassName) != nullptr)
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    auto window_class = std::make_unique<WindowClass>();
    window_class->name = wc->lpszClassName;
    window_class->atom = static_cast<ATOM>(first_class_atom + state().classes.size());
    window_class->style = wc->style;
    window_class->proc = wc->lpfnWndProc;
    state().classes.push_back(std::move(window_class));
    return state().classes.back()->atom;
}

// ==== Creation and destruction ====

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    if (ex_style != 0 || parent != nullptr || menu != nullptr || (style & ~supported_styles) != 0) {
        unsupported("CreateWindowExA",
                    "an extended style, a parent, a menu or a style beyond WS_OVERLAPPEDWINDOW");
        return nullptr;
    }
    if (state().window != nullptr) {
        unsupported("CreateWindowExA", "a second window");
        return nullptr;
    }
    const WindowClass *window_class = find_class(class_name);
    if (window_class == nullptr)
        return nullptr; // ERROR_CANNOT_FIND_WND_CLASS

    auto window = std::make_unique<Window>();
    window->window_class = window_class;
    window->style = style;
    window->x = x;
    window->y = y;
    window->width = std::max(width, 0);
    window->height = std::max(height, 0);
    window->handle = new_handle<HWND>();
    window->dc = new_handle<HDC>();
    const HWND hwnd = window->handle;
    web_create_canvas(canvas_id, x, y, on_pointer);
    size_canvas(window->width, window->height);
    state().window = std::move(window);

    // The viewer ignores WM_CREATE's CREATESTRUCT; none is made.
    const LRESULT result = send_message(hwnd, WM_CREATE, 0, 0);
    if (find_window(hwnd) == nullptr)
        return nullptr;
    if (result == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return FALSE;
    window->destroying = true;
    if (state().capture == hwnd)
        ReleaseCapture();
    if (window->visible) {
        web_show_canvas(0);
        window->visible = false;
    }
    window->timers.clear();
    send_message(hwnd, WM_DESTROY, 0, 0);

    drop_queued(hwnd);
    if (window->webgl != 0) {
        web_forget_framebuffer();
        emscripten_webgl_destroy_context(window->webgl);
    }
    web_remove_canvas();
    state().window.reset();
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        // Painting nothing still validates, or WM_PAINT would come forever.
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return 0;
    }
}

// ==== Showing and placing ====

BOOL WINAPI ShowWindow(HWND hwnd, int show) {
    Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return FALSE;
    const BOOL was_visible = window->visible ? TRUE : FALSE;
    if (show != SW_SHOWNORMAL && show != SW_SHOW && show != SW_SHOWDEFAULT) {
        unsupported("ShowWindow",
                    "a show command other than SW_SHOWNORMAL, SW_SHOW, SW_SHOWDEFAULT");
        return was_visible;
    }
    if (!window->visible) {
        web_show_canvas(1);
        window->visible = true;
        window->invalid = true;
    }
    // An overlapped window gets its first WM_SIZE when it is first shown, not when created.
    if (window->needs_first_size) {
        window->needs_first_size = false;
        send_message(hwnd, WM_SIZE, size_restored, make_lparam(window->width, window->height));
    }
    return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    const Window *window = find_window(hwnd);
    if (window == nullptr)
        return FALSE;
    if (window->visible && window->invalid)
        send_message(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    constexpr UINT supported = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if ((flags & ~supported) != 0 || ((flags & SWP_NOZORDER) == 0 && insert_after != HWND_TOP)) {
        unsupported("SetWindowPos", "a flag or a Z order other than HWND_TOP");
        return FALSE;
    }
    Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return FALSE;
    if ((flags & SWP_NOMOVE) == 0 && (x != window->x || y != window->y)) {
        unsupported("SetWindowPos", "moving the window");
        return FALSE;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    // Synchronous, as on Windows: the handler's answer may nest inside this call.
    if ((flags & SWP_NOSIZE) == 0 && (cx != window->width || cy != window->height))
        client_resized(hwnd, cx, cy);
    return TRUE;
}

// ==== Painting and device contexts ====

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window *window = find_window(hwnd);
    if (window == nullptr || paint == nullptr)
        return nullptr;
    window->invalid = false;
    *paint = PAINTSTRUCT{};
    paint->hdc = window->dc;
    // Nothing erases the background here (no brush, no WM_ERASEBKGND): the application must.
    paint->fErase = TRUE;
    paint->rcPaint = RECT{0, 0, window->width, window->height};
    return window->dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT *) {
    return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
    if (hwnd == nullptr) {
        unsupported("GetDC", "the screen's device context");
        return nullptr;
    }
    const Window *window = find_window(hwnd);
    return window == nullptr ? nullptr : window->dc;
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    const Window *window = find_window(hwnd);
    return window != nullptr && window->dc == dc ? 1 : 0;
}

HWND WINAPI WindowFromDC(HDC dc) {
    const Window *window = window_of_dc(dc);
    return window == nullptr ? nullptr : window->handle;
}

// Window classes and windows: creation, showing, placing, painting, destruction, device contexts,
// pointer capture, and the arrow cursor.
#include "platform/win32_core/rules.h"

#include <algorithm>

using namespace win32_core;

namespace {

constexpr UINT supported_class_styles = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
constexpr DWORD supported_styles = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr ATOM first_class_atom = 0xC000;

// What WM_CREATE's lparam points to, laid out as Win32's CREATESTRUCTA.
struct CreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

const WindowClass *find_class(LPCSTR name) {
    for (const auto &window_class : state().classes)
        if (window_class->name == name)
            return window_class.get();
    return nullptr;
}

// DestroyWindow flushes the thread's queue of the window's messages.
void drop_queued(HWND hwnd) {
    const auto for_window = [hwnd](const QueuedMessage &queued) { return queued.msg.hwnd == hwnd; };
    auto &posted = state().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), for_window), posted.end());
    auto &input = state().input;
    input.erase(std::remove_if(input.begin(), input.end(), for_window), input.end());
    if (state().key_down.msg.hwnd == hwnd)
        state().key_down = QueuedMessage{};
}

} // namespace

void win32_core::client_resized(HWND hwnd, int width, int height, WPARAM kind) {
    Window *window = find_window(hwnd);
    if (window == nullptr)
        return;
    const bool grew = width > window->width || height > window->height;
    window->width = width;
    window->height = height;
    if (window->visible && (grew || (window->window_class->style & (CS_HREDRAW | CS_VREDRAW)) != 0))
        window->invalid = true;
    send_message(hwnd, WM_SIZE, kind, make_lparam(width, height));
}

// ==== Window classes ====

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr)
        return 0;
    if (is_int_resource(wc->lpszClassName) || (wc->style & ~supported_class_styles) != 0 ||
        wc->cbClsExtra != 0 || wc->cbWndExtra != 0 || wc->lpszMenuName != nullptr ||
        wc->hbrBackground != nullptr) {
        unsupported("RegisterClassA", "an atom name, a class style beyond CS_OWNDC, CS_HREDRAW "
                                      "and CS_VREDRAW, extra bytes, a menu or a brush");
        return 0;
    }
    if (find_class(wc->lpszClassName) != nullptr)
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    state().classes.push_back(std::make_unique<WindowClass>(
        WindowClass{wc->lpszClassName, wc->style, wc->lpfnWndProc, wc->hIcon, wc->hCursor}));
    // The atom only tells success; classes are found by name.
    return static_cast<ATOM>(first_class_atom + state().classes.size());
}

// ==== Creation and destruction ====

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (ex_style != 0 || parent != nullptr || menu != nullptr || (style & ~supported_styles) != 0 ||
        is_int_resource(class_name)) {
        unsupported("CreateWindowExA", "an extended style, a parent, a menu, a style beyond "
                                       "WS_OVERLAPPEDWINDOW or a class atom");
        return nullptr;
    }
    const WindowClass *window_class = find_class(class_name);
    if (window_class == nullptr)
        return nullptr; // ERROR_CANNOT_FIND_WND_CLASS
    std::unique_ptr<Window> window = platform::new_window();
    if (window == nullptr)
        return nullptr;
    window->window_class = window_class;
    window->title = window_name != nullptr ? window_name : "";
    window->style = style;
    window->x = x;
    window->y = y;
    window->width = std::max(width, 0);
    window->height = std::max(height, 0);
    window->handle = new_handle<HWND>();
    window->dc = new_handle<HDC>();
    if (!platform::window_created(*window))
        return nullptr;
    const HWND hwnd = window->handle;
    state().windows.emplace(handle_key(hwnd), std::move(window));

    CreateStruct create = {
        param,       instance,   menu,    parent, height, width, y, x, static_cast<LONG>(style),
        window_name, class_name, ex_style};
    const LRESULT result = send_message(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
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
        platform::hide_surface(*window);
        window->visible = false;
    }
    window->timers.clear();
    // A window being destroyed stays findable through WM_DESTROY.
    send_message(hwnd, WM_DESTROY, 0, 0);
    drop_queued(hwnd);
    state().windows.erase(handle_key(hwnd));
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
    if (!platform::show_surface(*window, show))
        return was_visible;
    if (!window->visible) {
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
    if ((flags & SWP_NOMOVE) == 0) {
        if (!platform::move_surface(*window, x, y))
            return FALSE;
        window->x = x;
        window->y = y;
    }
    // Without SWP_NOZORDER the window goes to the top; without SWP_NOACTIVATE it is activated.
    if ((flags & (SWP_NOZORDER | SWP_NOACTIVATE)) != (SWP_NOZORDER | SWP_NOACTIVATE) &&
        window->visible)
        platform::raise_surface(*window);
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    if ((flags & SWP_NOSIZE) == 0 && (cx != window->width || cy != window->height)) {
        platform::resize_surface(*window, cx, cy);
        // Synchronous, as on Windows: the handler's answer may nest inside this call.
        client_resized(hwnd, cx, cy, size_restored);
    }
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

// ==== Pointer capture and the cursor ====

HWND WINAPI SetCapture(HWND hwnd) {
    const Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return nullptr;
    const HWND previous = state().capture;
    state().capture = hwnd;
    platform::take_pointer(previous != hwnd);
    // The window that loses the capture hears of it before the call returns, as on Windows.
    if (previous != nullptr && previous != hwnd)
        send_message(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    const HWND previous = state().capture;
    if (previous == nullptr)
        return TRUE;
    platform::let_pointer_go();
    state().capture = nullptr;
    send_message(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance != nullptr || name != IDC_ARROW) {
        unsupported("LoadCursorA", "a cursor other than the system arrow");
        return nullptr;
    }
    if (state().arrow_cursor == nullptr)
        state().arrow_cursor = new_handle<HCURSOR>();
    return state().arrow_cursor;
}

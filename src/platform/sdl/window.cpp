// Window classes and windows: creation, showing, placing, painting, destruction, device contexts.
#include "platform/sdl/state.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

using namespace sdl_layer;

namespace {

constexpr UINT supported_class_styles = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
constexpr DWORD supported_styles = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD ws_thickframe = 0x00040000L;
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
        if (is_atom(name) ? window_class->atom == static_cast<ATOM>(handle_key(name))
                          : same_name(window_class->name, name))
            return window_class.get();
    }
    return nullptr;
}

// DestroyWindow flushes the thread's queue of the window's messages.
void drop_queued(HWND hwnd) {
    const auto for_window = [hwnd](const QueuedMessage &queued) { return queued.msg.hwnd == hwnd; };
    auto &posted = state().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), for_window), posted.end());
    auto &input = state().input;
    input.erase(std::remove_if(input.begin(), input.end(), for_window), input.end());
    if (state().key_down.hwnd == hwnd)
        state().key_down = MSG{};
}

} // namespace

namespace sdl_layer {

SDL_Window *create_sdl_window(const Window &window, bool opengl) {
    Uint32 flags = window.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if ((window.style & ws_thickframe) != 0)
        flags |= SDL_WINDOW_RESIZABLE;
    if (opengl)
        flags |= SDL_WINDOW_OPENGL;
    // Win32 allows empty windows; SDL does not.
    return SDL_CreateWindow(window.title.c_str(), window.x, window.y, std::max(window.width, 1),
                            std::max(window.height, 1), flags);
}

bool realize(Window &window) {
    if (window.sdl != nullptr)
        return true;
    window.sdl = create_sdl_window(window, false);
    if (window.sdl == nullptr) {
        std::fprintf(stderr, "helicoid: the window could not be made: %s\n", SDL_GetError());
        return false;
    }
    apply_class_resources(window);
    return true;
}

void client_resized(HWND hwnd, int width, int height, WPARAM kind) {
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

} // namespace sdl_layer

// ==== Window classes ====

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr)
        return 0;
    if (is_atom(wc->lpszClassName)) {
        unsupported("RegisterClassA", "a class name given as an atom");
        return 0;
    }
    if ((wc->style & ~supported_class_styles) != 0) {
        unsupported("RegisterClassA", "a class style other than CS_OWNDC, CS_HREDRAW, CS_VREDRAW");
        return 0;
    }
    if (wc->cbClsExtra != 0 || wc->cbWndExtra != 0 || wc->lpszMenuName != nullptr ||
        wc->hbrBackground != nullptr) {
        unsupported("RegisterClassA", "a class with extra bytes, a menu or a background brush");
        return 0;
    }
    if (find_class(wc->lpszClassName) != nullptr)
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    auto window_class = std::make_unique<WindowClass>();
    window_class->name = wc->lpszClassName;
    window_class->atom = static_cast<ATOM>(first_class_atom + state().classes.size());
    window_class->style = wc->style;
    window_class->proc = wc->lpfnWndProc;
    window_class->icon = wc->hIcon;
    window_class->cursor = wc->hCursor;
    state().classes.push_back(std::move(window_class));
    return state().classes.back()->atom;
}

// ==== Creation and destruction ====

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (ex_style != 0 || parent != nullptr || menu != nullptr || (style & ~supported_styles) != 0) {
        unsupported("CreateWindowExA",
                    "an extended style, a parent, a menu or a style beyond WS_OVERLAPPEDWINDOW");
        return nullptr;
    }
    const WindowClass *window_class = find_class(class_name);
    if (window_class == nullptr)
        return nullptr; // ERROR_CANNOT_FIND_WND_CLASS

    auto window = std::make_unique<Window>();
    window->window_class = window_class;
    window->title = window_name != nullptr ? window_name : "";
    window->style = style;
    window->x = x;
    window->y = y;
    window->width = std::max(width, 0);
    window->height = std::max(height, 0);
    window->handle = new_handle<HWND>();
    window->dc = new_handle<HDC>();
    const HWND hwnd = window->handle;
    state().windows.emplace(handle_key(hwnd), std::move(window));

    CreateStruct create = {param,
                           instance,
                           menu,
                           parent,
                           height,
                           width,
                           y,
                           x,
                           static_cast<LONG>(style),
                           window_name,
                           is_atom(class_name) ? nullptr : class_name,
                           ex_style};
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
    if (window->visible && window->sdl != nullptr) {
        SDL_HideWindow(window->sdl);
        window->visible = false;
    }
    window->timers.clear();
    send_message(hwnd, WM_DESTROY, 0, 0);

    // A window being destroyed stays findable through WM_DESTROY, so it is still here.
    window = find_window(hwnd);
    drop_queued(hwnd);
    if (window->spare_context != nullptr)
        SDL_GL_DeleteContext(window->spare_context);
    if (window->sdl != nullptr) {
        if (SDL_GL_GetCurrentWindow() == window->sdl)
            SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_DestroyWindow(window->sdl);
    }
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
    if (!realize(*window))
        return was_visible;
    if (!window->visible) {
        SDL_ShowWindow(window->sdl);
        window->visible = true;
        window->invalid = true;
    } else if (show != SW_SHOW &&
               (window->minimized || (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED))) {
        SDL_RestoreWindow(window->sdl);
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
    // A window not yet shown has no SDL window: it is made later at the place and size kept here.
    SDL_Window *sdl = window->sdl;
    if ((flags & SWP_NOMOVE) == 0) {
        if (sdl != nullptr)
            SDL_SetWindowPosition(sdl, x, y);
        window->x = x;
        window->y = y;
    }
    // Without SWP_NOZORDER the window goes to the top; without SWP_NOACTIVATE it is activated.
    if ((flags & (SWP_NOZORDER | SWP_NOACTIVATE)) != (SWP_NOZORDER | SWP_NOACTIVATE) &&
        window->visible)
        SDL_RaiseWindow(sdl);
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    if ((flags & SWP_NOSIZE) == 0 && (cx != window->width || cy != window->height)) {
        if (sdl != nullptr) {
            // SDL leaves a maximised window at the window manager's size.
            if ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_MAXIMIZED) != 0)
                SDL_RestoreWindow(sdl);
            SDL_SetWindowSize(sdl, std::max(cx, 1), std::max(cy, 1));
        }
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

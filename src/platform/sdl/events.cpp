// SDL events turned into Win32 input: keys and their characters, the left button, pointer moves
// and capture, and the window manager's resizes, exposures and close requests.
#include "platform/sdl/state.h"

#include <algorithm>

using namespace sdl_layer;

namespace {

// ==== Keys and characters ====

constexpr WPARAM vk_unknown = 0xFF;

// Win32 virtual-key codes; letters and digits are their upper-case ASCII codes.
WPARAM virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<WPARAM>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<WPARAM>(0x70 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<WPARAM>(0x61 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_BACKSPACE:
        return 0x08;
    case SDLK_TAB:
        return 0x09;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 0x0D;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 0x10;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 0x11;
    case SDLK_LALT:
    case SDLK_RALT:
        return 0x12;
    case SDLK_PAUSE:
        return 0x13;
    case SDLK_CAPSLOCK:
        return 0x14;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return 0x20;
    case SDLK_PAGEUP:
        return 0x21;
    case SDLK_PAGEDOWN:
        return 0x22;
    case SDLK_END:
        return 0x23;
    case SDLK_HOME:
        return 0x24;
    case SDLK_LEFT:
        return 0x25;
    case SDLK_UP:
        return 0x26;
    case SDLK_RIGHT:
        return 0x27;
    case SDLK_DOWN:
        return 0x28;
    case SDLK_PRINTSCREEN:
        return 0x2C;
    case SDLK_INSERT:
        return 0x2D;
    case SDLK_DELETE:
        return 0x2E;
    case SDLK_LGUI:
        return 0x5B;
    case SDLK_RGUI:
        return 0x5C;
    case SDLK_APPLICATION:
        return 0x5D;
    case SDLK_KP_0:
        return 0x60;
    case SDLK_KP_MULTIPLY:
        return 0x6A;
    case SDLK_KP_PLUS:
        return 0x6B;
    case SDLK_KP_MINUS:
        return 0x6D;
    case SDLK_KP_PERIOD:
        return 0x6E;
    case SDLK_KP_DIVIDE:
        return 0x6F;
    case SDLK_NUMLOCKCLEAR:
        return 0x90;
    case SDLK_SCROLLLOCK:
        return 0x91;
    case SDLK_SEMICOLON:
        return 0xBA;
    case SDLK_EQUALS:
        return 0xBB;
    case SDLK_COMMA:
        return 0xBC;
    case SDLK_MINUS:
        return 0xBD;
    case SDLK_PERIOD:
        return 0xBE;
    case SDLK_SLASH:
        return 0xBF;
    case SDLK_BACKQUOTE:
        return 0xC0;
    case SDLK_LEFTBRACKET:
        return 0xDB;
    case SDLK_BACKSLASH:
        return 0xDC;
    case SDLK_RIGHTBRACKET:
        return 0xDD;
    case SDLK_QUOTE:
        return 0xDE;
    default:
        return vk_unknown;
    }
}

// The characters Windows translates but SDL never sends as text (it drops control characters).
char control_character(const SDL_Keysym &key) {
    switch (key.sym) {
    case SDLK_ESCAPE:
        return 27;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    default:
        break;
    }
    if ((key.mod & KMOD_CTRL) != 0 && (key.mod & KMOD_ALT) == 0 && key.sym >= SDLK_a &&
        key.sym <= SDLK_z)
        return static_cast<char>(1 + (key.sym - SDLK_a));
    return 0;
}

// Repeat count 1; bit 30 says the key was already down, bit 31 that it is being released.
LPARAM key_lparam(bool down, bool repeat) {
    DWORD bits = 1;
    if (!down || repeat)
        bits |= 1u << 30;
    if (!down)
        bits |= 1u << 31;
    return static_cast<LPARAM>(bits);
}

// An ANSI window's characters: Latin-1 passes, the rest becomes '?'.
std::string ansi_from_utf8(const char *text) {
    std::string out;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (*p != 0) {
        unsigned code = *p;
        int length = 1;
        if (*p >= 0xF0) {
            code = *p & 0x07u;
            length = 4;
        } else if (*p >= 0xE0) {
            code = *p & 0x0Fu;
            length = 3;
        } else if (*p >= 0xC0) {
            code = *p & 0x1Fu;
            length = 2;
        }
        int i = 1;
        for (; i < length && (p[i] & 0xC0u) == 0x80u; ++i)
            code = (code << 6) | (p[i] & 0x3Fu);
        if (i < length || (length == 1 && *p >= 0x80))
            code = '?';
        p += i;
        out += code < 256 ? static_cast<char>(code) : '?';
    }
    return out;
}

WPARAM modifier_flags() {
    const SDL_Keymod mod = SDL_GetModState();
    return ((mod & KMOD_SHIFT) != 0 ? MK_SHIFT : 0) | ((mod & KMOD_CTRL) != 0 ? MK_CONTROL : 0);
}

void key_event(const SDL_KeyboardEvent &key) {
    const Window *window = window_of_sdl_id(key.windowID);
    if (window == nullptr || window->destroying)
        return;
    const bool down = key.type == SDL_KEYDOWN;
    const MSG msg = make_message(window->handle, down ? WM_KEYDOWN : WM_KEYUP,
                                 virtual_key(key.keysym.sym), key_lparam(down, key.repeat != 0));
    const char control = down ? control_character(key.keysym) : 0;
    queue_input(msg, control != 0 ? std::string(1, control) : std::string(), down && control == 0);
}

// SDL sends a key's text right after its key-down: the text becomes that key-down's characters.
void text_event(const SDL_TextInputEvent &text) {
    // Left Alt makes system keys on Windows (WM_SYSCHAR), which the viewer never sees.
    if ((SDL_GetModState() & KMOD_LALT) != 0)
        return;
    const std::string chars = ansi_from_utf8(text.text);
    State &s = state();
    for (auto it = s.input.rbegin(); it != s.input.rend(); ++it) {
        if (it->msg.message != WM_KEYDOWN)
            continue;
        if (it->takes_text) {
            it->chars += chars;
            it->takes_text = false;
            return;
        }
        break;
    }
    const bool key_down_queued =
        std::any_of(s.input.begin(), s.input.end(),
                    [](const QueuedMessage &queued) { return queued.msg.message == WM_KEYDOWN; });
    if (!key_down_queued && s.key_down.message == WM_KEYDOWN && s.key_down_takes_text) {
        s.key_down_chars += chars;
        s.key_down_takes_text = false;
        return;
    }
    // Late text (an input method's) whose key-down is long translated: post it as it comes.
    const Window *window = window_of_sdl_id(text.windowID);
    if (window == nullptr || window->destroying)
        return;
    for (const char c : chars)
        queue_posted(window->handle, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// ==== Pointer ====

void pointer_event(Uint32 sdl_window_id, UINT message, int x, int y, WPARAM flags) {
    State &s = state();
    const Window *source = window_of_sdl_id(sdl_window_id);
    // SDL loses its pointer focus when a captured pointer leaves, and then names no window; the
    // coordinates are still the capturing window's.
    if (source == nullptr && s.capture != nullptr)
        source = find_window(s.capture);
    if (source == nullptr)
        return;
    const Window *target = source;
    if (s.capture != nullptr) {
        // A captured pointer belongs to the capturing window, wherever it is.
        target = find_window(s.capture);
        if (target == nullptr)
            return;
        x += source->x - target->x;
        y += source->y - target->y;
    } else if (x < 0 || y < 0 || x >= source->width || y >= source->height) {
        return; // on Windows this goes to the window underneath
    }
    if (target->destroying)
        return;
    s.cursor = POINT{target->x + x, target->y + y};
    queue_input(make_message(target->handle, message, flags, make_lparam(x, y)));
}

// ==== Window manager ====

void window_event(const SDL_WindowEvent &event) {
    Window *window = window_of_sdl_id(event.windowID);
    if (window == nullptr || window->destroying)
        return;
    const HWND hwnd = window->handle;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        queue_input(make_message(hwnd, WM_CLOSE, 0, 0));
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        if (window->visible)
            window->invalid = true;
        break;
    case SDL_WINDOWEVENT_MOVED:
        window->x = event.data1;
        window->y = event.data2;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // Sizes the layer set itself come back from the window manager: only news count.
        if (event.data1 != window->width || event.data2 != window->height) {
            const bool maximized = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) != 0;
            client_resized(hwnd, event.data1, event.data2,
                           maximized ? size_maximized : size_restored);
        }
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (!window->minimized) {
            window->minimized = true;
            send_message(hwnd, WM_SIZE, size_minimized, 0);
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (window->minimized) {
            window->minimized = false;
            window->invalid = window->visible;
            send_message(hwnd, WM_SIZE, size_restored, make_lparam(window->width, window->height));
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        engage_capture();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // SDL has dropped its capture with the focus, so the button-up may never come here; as
        // when Windows deactivates an application, the capture ends and its owner is told.
        if (state().capture != nullptr)
            ReleaseCapture();
        break;
    default:
        break;
    }
}

// SDL_QUIT (e.g. the application menu's Quit) asks every window to close.
void close_all() {
    for (const auto &entry : state().windows) {
        const Window &window = *entry.second;
        const bool queued = std::any_of(
            state().input.begin(), state().input.end(), [&window](const QueuedMessage &queued) {
                return queued.msg.hwnd == window.handle && queued.msg.message == WM_CLOSE;
            });
        if (!window.destroying && !queued)
            queue_input(make_message(window.handle, WM_CLOSE, 0, 0));
    }
}

} // namespace

namespace sdl_layer {

// ==== Pumping ====

void translate_event(const SDL_Event &event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        window_event(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        key_event(event.key);
        break;
    case SDL_TEXTINPUT:
        text_event(event.text);
        break;
    case SDL_MOUSEMOTION:
        pointer_event(event.motion.windowID, WM_MOUSEMOVE, event.motion.x, event.motion.y,
                      ((event.motion.state & SDL_BUTTON_LMASK) != 0 ? MK_LBUTTON : 0) |
                          modifier_flags());
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            pointer_event(event.button.windowID, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                          event.button.x, event.button.y,
                          (down ? MK_LBUTTON : 0) | modifier_flags());
        }
        break;
    case SDL_QUIT:
        close_all();
        break;
    default:
        break;
    }
}

void pump_events(bool poll_display) {
    engage_capture();
    if (poll_display)
        SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1)
        translate_event(event);
}

void engage_capture() {
    State &s = state();
    if (s.capture != nullptr && !s.capture_engaged && SDL_CaptureMouse(SDL_TRUE) == 0)
        s.capture_engaged = true;
}

} // namespace sdl_layer

// ==== Pointer capture ====

HWND WINAPI SetCapture(HWND hwnd) {
    State &s = state();
    const Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return nullptr;
    const HWND previous = s.capture;
    if (previous != hwnd) {
        s.capture = hwnd;
        s.capture_engaged = false;
    }
    // Without SDL's capture the pointer's coordinates are clamped to the window.
    engage_capture();
    // The window that loses the capture hears of it before the call returns, as on Windows.
    if (previous != nullptr && previous != hwnd)
        send_message(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    State &s = state();
    if (s.capture_engaged)
        SDL_CaptureMouse(SDL_FALSE);
    const HWND previous = s.capture;
    s.capture = nullptr;
    s.capture_engaged = false;
    if (previous != nullptr)
        send_message(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

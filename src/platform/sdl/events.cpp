// SDL events turned into Win32 input: keys and their characters, the left button, pointer moves
// and capture, and the window manager's resizes, exposures and close requests.
#include "platform/sdl/state.h"

using namespace sdl_layer;

namespace {

// ==== Keys and characters ====

constexpr WPARAM vk_unknown = 0xFF;

// Win32 virtual-key codes of the keys that are not letters, digits or function keys.
// clang-format off
constexpr struct {
    SDL_Keycode key;
    BYTE code;
} virtual_keys[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09}, {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D},
    {SDLK_LSHIFT, 0x10}, {SDLK_RSHIFT, 0x10}, {SDLK_LCTRL, 0x11}, {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12}, {SDLK_RALT, 0x12}, {SDLK_PAUSE, 0x13}, {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_SPACE, 0x20}, {SDLK_PAGEUP, 0x21}, {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23}, {SDLK_HOME, 0x24}, {SDLK_LEFT, 0x25}, {SDLK_UP, 0x26},
    {SDLK_RIGHT, 0x27}, {SDLK_DOWN, 0x28}, {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E}, {SDLK_LGUI, 0x5B}, {SDLK_RGUI, 0x5C}, {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, 0x60}, {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E}, {SDLK_KP_DIVIDE, 0x6F}, {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91}, {SDLK_SEMICOLON, 0xBA}, {SDLK_EQUALS, 0xBB}, {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD}, {SDLK_PERIOD, 0xBE}, {SDLK_SLASH, 0xBF}, {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},
};
// clang-format on

// Letters and digits are their upper-case ASCII codes.
WPARAM virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<WPARAM>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<WPARAM>(0x70 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<WPARAM>(0x61 + (key - SDLK_KP_1));
    for (const auto &entry : virtual_keys)
        if (entry.key == key)
            return entry.code;
    return vk_unknown;
}

report::Modifiers modifiers(Uint16 mod) {
    return {(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0};
}

void key_event(const SDL_KeyboardEvent &key) {
    const Window *window = window_of_sdl_id(key.windowID);
    if (window == nullptr)
        return;
    // A key with text gets it from the SDL_TEXTINPUT that follows its key-down; SDL sends no text
    // for control characters, which the core makes from the key.
    report::key(window->handle, key.type == SDL_KEYDOWN, virtual_key(key.keysym.sym),
                key.repeat != 0, modifiers(key.keysym.mod), nullptr);
}

void text_event(const SDL_TextInputEvent &text) {
    // Left Alt makes system keys on Windows (WM_SYSCHAR), which the viewer never sees.
    if ((SDL_GetModState() & KMOD_LALT) != 0)
        return;
    const Window *window = window_of_sdl_id(text.windowID);
    report::text(window != nullptr ? window->handle : nullptr, text.text);
}

// ==== Pointer ====

// SDL loses its pointer focus when a captured pointer leaves, and then names no window.
void pointer_event(Uint32 sdl_window_id, UINT message, int x, int y, bool left_button) {
    const Window *source = window_of_sdl_id(sdl_window_id);
    report::pointer(source != nullptr ? source->handle : nullptr, message, x, y, left_button,
                    modifiers(SDL_GetModState()));
}

// ==== Window manager ====

void window_event(const SDL_WindowEvent &event) {
    const SdlWindow *window = window_of_sdl_id(event.windowID);
    if (window == nullptr)
        return;
    const HWND hwnd = window->handle;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        report::close_request(hwnd);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        report::contents_lost(hwnd);
        break;
    case SDL_WINDOWEVENT_MOVED:
        report::moved(hwnd, event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        report::resized(hwnd, event.data1, event.data2,
                        (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) != 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        report::minimized(hwnd);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        report::restored(hwnd);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        engage_capture();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // SDL has dropped its capture with the focus, so the button-up may never come here.
        report::capture_lost();
        break;
    default:
        break;
    }
}

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
                      (event.motion.state & SDL_BUTTON_LMASK) != 0);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            pointer_event(event.button.windowID, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                          event.button.x, event.button.y, down);
        }
        break;
    case SDL_QUIT: // e.g. the application menu's Quit: every window is asked to close
        // SDL also says so when it has lost the Wayland compositor: that is no request.
        exit_if_display_gone();
        report::quit_request();
        break;
    default:
        break;
    }
}

} // namespace

// ==== The hooks of the shared rules: the clock, events and capture ====

std::uint64_t win32_core::platform::now_ms() {
    return SDL_GetTicks64();
}

void win32_core::platform::pump_events(bool poll) {
    engage_capture();
    if (poll)
        SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1)
        translate_event(event);
}

// SDL waits on the display connection once a window exists; before that it polls each ms.
void win32_core::platform::wait_for_events(int timeout_ms) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeout_ms) == 1)
        translate_event(event);
}

// Without SDL's capture the pointer's coordinates are clamped to the window.
void win32_core::platform::take_pointer(bool anew) {
    if (anew)
        sdl_state().capture_engaged = false;
    engage_capture();
}

void win32_core::platform::let_pointer_go() {
    if (sdl_state().capture_engaged)
        SDL_CaptureMouse(SDL_FALSE);
    sdl_state().capture_engaged = false;
}

void sdl_layer::engage_capture() {
    if (shared_state().capture != nullptr && !sdl_state().capture_engaged &&
        SDL_CaptureMouse(SDL_TRUE) == 0)
        sdl_state().capture_engaged = true;
}

// Page events turned into Win32 input: keys and their characters (Emscripten's HTML5 keyboard
// events), the left button and pointer moves (the canvas's Pointer Events), and capture.
#include "platform/web/state.h"

#include <emscripten/html5.h>

#include <cctype>
#include <cstring>

using namespace web_layer;

namespace {

// ==== Keys and characters ====

constexpr int dom_shift = 0x100; // modifier bits that canvas.js adds to a pointer's buttons
constexpr int dom_ctrl = 0x200;

// The character Windows translates a key-down into, from the DOM's key value; 0 for none.
unsigned char key_character(const EmscriptenKeyboardEvent &key) {
    if (std::strcmp(key.key, "Escape") == 0)
        return 27;
    if (std::strcmp(key.key, "Enter") == 0)
        return 13;
    if (std::strcmp(key.key, "Backspace") == 0)
        return 8;
    if (std::strcmp(key.key, "Tab") == 0)
        return 9;
    // Ctrl+letter is a control character; Alt combinations are WM_SYSCHAR, which is not emulated.
    const auto *text = reinterpret_cast<const unsigned char *>(key.key);
    if (key.altKey || key.metaKey)
        return 0;
    if (key.ctrlKey)
        return text[1] == 0 && std::isalpha(text[0]) ? static_cast<unsigned char>(text[0] & 0x1F)
                                                     : 0;
    // One character: one UTF-8 sequence. Named keys ("Shift", "ArrowUp") are longer words.
    if (text[0] == 0)
        return 0;
    if (text[0] < 0x80)
        return text[1] == 0 ? text[0] : 0;
    const int length = text[0] >= 0xF0 ? 4 : text[0] >= 0xE0 ? 3 : 2;
    for (int i = 1; i < length; ++i)
        if ((text[i] & 0xC0) != 0x80)
            return 0;
    if (text[length] != 0)
        return 0;
    // An ANSI window's characters: Latin-1 passes, the rest becomes '?'.
    if (length == 2 && text[0] <= 0xC3)
        return static_cast<unsigned char>(((text[0] & 0x1F) << 6) | (text[1] & 0x3F));
    return '?';
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

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent *key, void *) {
    const Window *window = state().window.get();
    // A modal box owns the keyboard; the page's own keys (Return on its button) must work.
    if (window == nullptr || window->destroying || state().box_up)
        return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const WPARAM virtual_key = key->keyCode != 0 ? key->keyCode : 0xFF;
    const MSG msg = make_message(window->handle, down ? WM_KEYDOWN : WM_KEYUP, virtual_key,
                                 key_lparam(down, key->repeat != 0));
    const unsigned char c = down ? key_character(*key) : 0;
    queue_input(msg, c != 0 ? std::string(1, static_cast<char>(c)) : std::string());
    // The browser keeps its own shortcuts (Ctrl+R, F5); a plain key belongs to the window.
    return c != 0 && !key->ctrlKey && !key->metaKey ? EM_TRUE : EM_FALSE;
}

} // namespace

namespace web_layer {

void listen_to_keys() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
}

// ==== Pointer ====

void on_pointer(int message, int x, int y, int buttons) {
    State &s = state();
    const Window *window = s.window.get();
    if (window == nullptr || window->destroying || s.box_up)
        return;
    const WPARAM flags = ((buttons & 1) != 0 ? mk_lbutton : 0) |
                         ((buttons & dom_shift) != 0 ? mk_shift : 0) |
                         ((buttons & dom_ctrl) != 0 ? mk_control : 0);
    s.cursor = POINT{window->x + x, window->y + y};
    queue_input(make_message(window->handle, static_cast<UINT>(message), flags, make_lparam(x, y)));
}

} // namespace web_layer

// ==== Pointer capture ====

HWND WINAPI SetCapture(HWND hwnd) {
    State &s = state();
    const Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return nullptr;
    const HWND previous = s.capture;
    s.capture = hwnd;
    // Without a pressed pointer (released before this message was handled) there is nothing to
    // capture; the capture is still recorded, as Windows records it.
    web_set_capture(1);
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    State &s = state();
    if (s.capture != nullptr)
        web_set_capture(0);
    s.capture = nullptr;
    return TRUE;
}

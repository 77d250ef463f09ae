// Page events turned into Win32 input: keys and their characters (Emscripten's HTML5 keyboard
// events), the left button and pointer moves (the canvas's Pointer Events), and capture.
#include "platform/web/state.h"

#include <emscripten/html5.h>

#include <cctype>
#include <cstring>
#include <string>

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
    // A named key ("Shift", "ArrowUp") is a word; a character is one, as an ANSI window has it.
    const std::string chars = ansi_from_utf8(key.key);
    return chars.size() == 1 ? static_cast<unsigned char>(chars[0]) : 0;
}

// False when the window takes no keys: there is none, or a modal box owns the keyboard.
bool send_key(bool down, WPARAM virtual_key, bool repeat, unsigned char c) {
    const Window *window = the_window();
    if (window == nullptr || window->destroying || web_state().box_up)
        return false;
    queue_key(window->handle, down, virtual_key, repeat,
              c != 0 ? std::string(1, static_cast<char>(c)) : std::string(), false);
    web_wake();
    return true;
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent *key, void *) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const unsigned char c = down ? key_character(*key) : 0;
    // The page's own keys (Return on a box's button) must work meanwhile.
    if (!send_key(down, key->keyCode != 0 ? key->keyCode : 0xFF, key->repeat != 0, c))
        return EM_FALSE;
    // The browser keeps its own shortcuts (Ctrl+R, F5); a plain key belongs to the window.
    return c != 0 && !key->ctrlKey && !key->metaKey ? EM_TRUE : EM_FALSE;
}

} // namespace

namespace web_layer {

void listen_to_keys() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
}

// A press and release of an on-screen key, as the keyboard would send them.
void on_screen_key(int virtual_key, int character) {
    if (send_key(true, static_cast<WPARAM>(virtual_key), false,
                 static_cast<unsigned char>(character)))
        send_key(false, static_cast<WPARAM>(virtual_key), false, 0);
}

// ==== Pointer ====

void on_pointer(int message, int x, int y, int buttons) {
    const Window *window = the_window();
    if (window == nullptr || window->destroying || web_state().box_up)
        return;
    const WPARAM flags = ((buttons & 1) != 0 ? mk_lbutton : 0) |
                         ((buttons & dom_shift) != 0 ? mk_shift : 0) |
                         ((buttons & dom_ctrl) != 0 ? mk_control : 0);
    state().cursor = POINT{window->x + x, window->y + y};
    queue_input(make_message(window->handle, static_cast<UINT>(message), flags, make_lparam(x, y)));
    web_wake();
}

} // namespace web_layer

// ==== Pointer capture ====

// Without a pressed pointer (released before this message was handled) there is nothing to
// capture; the capture is still recorded, as Windows records it.
void win32_core::take_pointer(bool) {
    web_set_capture(1);
}

void win32_core::let_pointer_go() {
    web_set_capture(0);
}

// Page events turned into Win32 input: keys and their characters (Emscripten's HTML5 keyboard
// events), the left button and pointer moves (the canvas's Pointer Events), capture, and the
// page's loss of the focus.
#include "platform/web/state.h"

#include <emscripten/html5.h>

using namespace web_layer;

namespace {

// ==== Keys and characters ====

constexpr int dom_shift = 0x100; // modifier bits that canvas.js adds to a pointer's buttons
constexpr int dom_ctrl = 0x200;

// The DOM names a key by its character, or by a word ("Shift", "ArrowUp") when it has none.
bool is_one_character(const char *key) {
    int starts = 0;
    for (const auto *p = reinterpret_cast<const unsigned char *>(key); *p != 0; ++p)
        starts += (*p & 0xC0u) != 0x80u ? 1 : 0;
    return starts == 1;
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent *key, void *) {
    const Window *window = the_window();
    // A modal box owns the keyboard; the page's own keys (Return on its button) must work.
    if (window == nullptr || web_state().box_up)
        return EM_FALSE;
    // Alt and Meta combinations are system keys (WM_SYSCHAR, not emulated); Ctrl gives a
    // character only with a letter, which the core makes from the key.
    const bool plain = !key->altKey && !key->metaKey && !key->ctrlKey;
    const bool has_text =
        report::key(window->handle, type == EMSCRIPTEN_EVENT_KEYDOWN,
                    key->keyCode != 0 ? key->keyCode : 0xFF, key->repeat != 0,
                    {key->shiftKey != 0, key->ctrlKey != 0, key->altKey != 0 || key->metaKey != 0},
                    plain && is_one_character(key->key) ? key->key : "");
    web_wake();
    // The browser keeps its own shortcuts (Ctrl+R, F5); a plain key belongs to the window.
    return has_text && !key->ctrlKey && !key->metaKey ? EM_TRUE : EM_FALSE;
}

// As when Windows deactivates an application: the capture ends and its owner is told, since the
// button may now go up over another window, where this page never hears of it.
EM_BOOL on_blur(int, const EmscriptenFocusEvent *, void *) {
    report::capture_lost();
    web_wake();
    return EM_FALSE;
}

} // namespace

namespace web_layer {

void listen_to_keys() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_key);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_blur);
}

// A press and release of an on-screen key, as the keyboard would send them. A control character
// (Escape) comes from the key itself, as from the keyboard.
void on_screen_key(int virtual_key, int character) {
    const Window *window = the_window();
    if (window == nullptr || web_state().box_up)
        return;
    const char text[2] = {character >= 0x20 ? static_cast<char>(character) : '\0', '\0'};
    const auto key = static_cast<WPARAM>(virtual_key);
    report::key(window->handle, true, key, false, {}, text);
    report::key(window->handle, false, key, false, {}, "");
    web_wake();
}

// ==== Pointer ====

void on_pointer(int message, int x, int y, int buttons) {
    const Window *window = the_window();
    if (window == nullptr || web_state().box_up)
        return;
    report::pointer(window->handle, static_cast<UINT>(message), x, y, (buttons & 1) != 0,
                    {(buttons & dom_shift) != 0, (buttons & dom_ctrl) != 0, false});
    web_wake();
}

} // namespace web_layer

// ==== Pointer capture ====

// Without a pressed pointer (released before this message was handled) there is nothing to
// capture; the capture is still recorded, as Windows records it.
void win32_core::platform::take_pointer(bool) {
    web_set_capture(1);
}

void win32_core::platform::let_pointer_go() {
    web_set_capture(0);
}

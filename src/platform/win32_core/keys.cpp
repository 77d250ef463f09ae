// Keys and their characters: key messages with their lParams, the characters Windows translates
// a key into by itself, text that follows its key, and TranslateMessage.
#include "platform/win32_core/rules.h"

#include <algorithm>

using namespace win32_core;

namespace {

constexpr WPARAM vk_back = 0x08;
constexpr WPARAM vk_tab = 0x09;
constexpr WPARAM vk_return = 0x0D;

bool same_message(const MSG &a, const MSG &b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam &&
           a.lParam == b.lParam && a.time == b.time;
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

} // namespace

// TranslateMessage posts a key-down's characters right after it, so each key-down carries them:
// in the queue, and once removed, in `key_down` until it is translated. A platform that learns
// the characters only after the key (SDL's text event) reports the key-down without text, and
// the text goes to the last key-down still waiting for it. Text with no such key-down (an input
// method's, long after its key) is posted as it comes.

char win32_core::control_character(WPARAM virtual_key, report::Modifiers modifiers) {
    switch (virtual_key) {
    case VK_ESCAPE:
        return 27;
    case vk_return:
        return 13;
    case vk_back:
        return 8;
    case vk_tab:
        return 9;
    default:
        break;
    }
    // Ctrl+letter; with Alt as well it is a system key, which gives no WM_CHAR.
    if (modifiers.control && !modifiers.alt && virtual_key >= 'A' && virtual_key <= 'Z')
        return static_cast<char>(1 + (virtual_key - 'A'));
    return 0;
}

bool report::key(HWND hwnd, bool down, WPARAM virtual_key, bool repeat, Modifiers modifiers,
                 const char *text) {
    const Window *window = find_window(hwnd);
    if (window == nullptr || window->destroying)
        return false;
    queue_input(
        make_message(hwnd, down ? WM_KEYDOWN : WM_KEYUP, virtual_key, key_lparam(down, repeat)));
    if (!down)
        return false;
    QueuedMessage &queued = state().input.back();
    const char control = control_character(virtual_key, modifiers);
    if (control != 0)
        queued.chars = std::string(1, control);
    else if (text != nullptr)
        queued.chars = ansi_from_utf8(text);
    else
        queued.takes_text = true;
    return !queued.chars.empty();
}

void report::text(HWND hwnd, const char *utf8) {
    State &s = state();
    const std::string chars = ansi_from_utf8(utf8);
    const auto key_down = std::find_if(s.input.rbegin(), s.input.rend(), [](const auto &queued) {
        return queued.msg.message == WM_KEYDOWN;
    });
    QueuedMessage *waiting = key_down != s.input.rend() ? &*key_down : &s.key_down;
    if (waiting->msg.message == WM_KEYDOWN && waiting->takes_text) {
        waiting->chars += chars;
        waiting->takes_text = false;
        return;
    }
    const Window *window = find_window(hwnd);
    if (window != nullptr && !window->destroying)
        for (const char c : chars)
            queue_posted(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string win32_core::ansi_from_utf8(const char *text) {
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

BOOL WINAPI TranslateMessage(const MSG *msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP))
        return FALSE;
    State &s = state();
    // The characters belong to the key-down last taken from the queue; an older copy translates
    // to nothing, as the keyboard has moved on.
    if (msg->message == WM_KEYDOWN && s.key_down.msg.message == WM_KEYDOWN &&
        same_message(s.key_down.msg, *msg)) {
        const std::string chars = std::move(s.key_down.chars);
        s.key_down = QueuedMessage{};
        for (const char c : chars)
            queue_posted(msg->hwnd, WM_CHAR, static_cast<unsigned char>(c), msg->lParam);
    }
    return TRUE;
}

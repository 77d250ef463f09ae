// A recording stand-in for the Win32 functions the viewer calls: every call is logged as one
// line of text, results come from a script the test sets, and sent messages re-enter the window
// procedure as Win32 does (WM_CREATE inside CreateWindowExA, WM_DESTROY inside DestroyWindow).
#pragma once

#include "platform/win32.h"
#include "sequence.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace win32_double {

// Handles the double hands out; the log prints them by these names.
inline const HWND window = reinterpret_cast<HWND>(0x1001);
inline const HDC device_context = reinterpret_cast<HDC>(0x2002);
inline const HGLRC gl_context = reinterpret_cast<HGLRC>(0x3003);
inline const HPALETTE palette = reinterpret_cast<HPALETTE>(0x4004);
inline const HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x5005);
inline const HWND other_window = reinterpret_cast<HWND>(0x6006);
inline const HICON icon = reinterpret_cast<HICON>(0x7007);
inline const HCURSOR cursor = reinterpret_cast<HCURSOR>(0x8008);
inline constexpr LRESULT default_result = 0x5A5A; // what DefWindowProcA returns

struct Script {
    int screen_width = 1366;
    int screen_height = 768;
    bool register_class_fails = false;
    bool create_window_fails = false;
    int chosen_format = 7;                // ChoosePixelFormat's answer; 0 is failure
    BOOL set_pixel_format = TRUE;         // SetPixelFormat's answer
    PIXELFORMATDESCRIPTOR described = {}; // what DescribePixelFormat reports
    bool create_palette_fails = false;
    bool create_context_fails = false;
    std::vector<PALETTEENTRY> system_palette; // GetSystemPaletteEntries' source
    std::deque<MSG> queue;                    // what PeekMessageA and GetMessageA find
    BOOL get_message_failure = 0; // non-zero: GetMessageA's answer once the queue is empty
    bool echo = false;            // also print every log line to stderr (death tests read it there)
    // Called with each log line as the call is made: lets a test look at the viewer's state at
    // that moment, which shows the order of a platform call and the viewer's own steps.
    std::function<void(const std::string &call)> on_call;
};

Script &script();
std::vector<std::string> &log();
void reset(); // empties the log, restores the default script, forgets the class and window

// The last class handed to RegisterClassA.
const WNDCLASSA &registered_class();
// Copies of the descriptors handed to ChoosePixelFormat and SetPixelFormat, in call order.
const std::vector<PIXELFORMATDESCRIPTOR> &pixel_format_requests();

// The last palette handed to CreatePalette, as it was described.
const std::vector<PALETTEENTRY> &created_palette_entries();
int created_palette_version();

// Queues a message for the window, as input or a post would.
void post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
LPARAM point(int x, int y); // packs a pointer position as Win32 does

// Log lines whose call name is one of `names` (the text before the first '(').
std::vector<std::string> calls_named(const std::vector<std::string> &names);

} // namespace win32_double

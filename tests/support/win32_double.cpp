// The recording Win32 double; see win32_double.h.
#include "win32_double.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace win32_double {
namespace {

struct State {
    Script script;
    std::vector<std::string> log;
    WNDPROC window_proc = nullptr;
    bool window_exists = false;
    bool quit_posted = false;
    int exit_code = 0;
    std::vector<PALETTEENTRY> palette_entries;
    int palette_version = 0;
    WNDCLASSA window_class = {};
    std::vector<PIXELFORMATDESCRIPTOR> pixel_format_requests;
    long queue_calls = 0;
    HWND capture = nullptr;
};

State &state() {
    static State s;
    return s;
}

std::string handle(const void *h) {
    if (h == nullptr)
        return "null";
    if (h == window)
        return "window";
    if (h == device_context)
        return "dc";
    if (h == gl_context)
        return "glrc";
    if (h == palette)
        return "palette";
    if (h == instance)
        return "instance";
    if (h == other_window)
        return "other_window";
    if (h == icon)
        return "icon";
    if (h == cursor)
        return "cursor";
    char text[32];
    std::snprintf(text, sizeof text, "%p", h);
    return text;
}

std::string quoted(const char *text) {
    if (text == nullptr)
        return "null";
    std::string out = "\"";
    for (const char *c = text; *c; ++c)
        out += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    return out + "\"";
}

template <typename... Args> void record(const char *name, const Args &...args) {
    std::ostringstream line;
    line << name << '(';
    [[maybe_unused]] const char *separator = "";
    ((line << separator << args, separator = ", "), ...);
    line << ')';
    state().log.push_back(line.str());
    if (state().script.echo)
        std::fprintf(stderr, "%s\n", line.str().c_str());
    if (state().script.on_call)
        state().script.on_call(line.str());
}

// A message loop that never ends (one that ignores a GetMessageA failure, or peeks for ever)
// would hang the test run; a million queue calls is far beyond any test's script.
void count_queue_call(const char *name) {
    if (++state().queue_calls > 1000000) {
        std::fprintf(stderr, "win32_double: runaway message loop, last call %s\n", name);
        std::abort();
    }
}

LRESULT send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    record("send", message_name(message));
    return state().window_proc ? state().window_proc(hwnd, message, wparam, lparam) : 0;
}

} // namespace

Script &script() {
    return state().script;
}
std::vector<std::string> &log() {
    return state().log;
}
void reset() {
    state() = State{};
}
const WNDCLASSA &registered_class() {
    return state().window_class;
}
const std::vector<PIXELFORMATDESCRIPTOR> &pixel_format_requests() {
    return state().pixel_format_requests;
}
const std::vector<PALETTEENTRY> &created_palette_entries() {
    return state().palette_entries;
}
int created_palette_version() {
    return state().palette_version;
}

void post(UINT message, WPARAM wparam, LPARAM lparam) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    state().script.queue.push_back(msg);
}

LPARAM point(int x, int y) {
    return static_cast<LPARAM>((static_cast<unsigned>(y) & 0xffffu) << 16 |
                               (static_cast<unsigned>(x) & 0xffffu));
}

std::vector<std::string> calls_named(const std::vector<std::string> &names) {
    std::vector<std::string> out;
    for (const std::string &line : state().log) {
        const std::string name = line.substr(0, line.find('('));
        if (std::find(names.begin(), names.end(), name) != names.end())
            out.push_back(line);
    }
    return out;
}

} // namespace win32_double

using namespace win32_double;

// ==== USER: classes, windows, messages ====

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    char style[16];
    std::snprintf(style, sizeof style, "0x%02X", wc->style);
    record("RegisterClassA", style, wc->lpfnWndProc ? "proc" : "null", wc->cbClsExtra,
           wc->cbWndExtra, handle(wc->hInstance), handle(wc->hIcon), handle(wc->hCursor),
           handle(wc->hbrBackground), quoted(wc->lpszMenuName), quoted(wc->lpszClassName));
    state().window_class = *wc;
    if (state().script.register_class_fails)
        return 0;
    state().window_proc = wc->lpfnWndProc;
    return 0xC001;
}

HICON WINAPI LoadIconA(HINSTANCE inst, LPCSTR name) {
    record("LoadIconA", handle(inst), reinterpret_cast<UINT_PTR>(name));
    return icon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE inst, LPCSTR name) {
    record("LoadCursorA", handle(inst), reinterpret_cast<UINT_PTR>(name));
    return cursor;
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE inst, LPVOID param) {
    char style_text[16];
    std::snprintf(style_text, sizeof style_text, "0x%08X", static_cast<unsigned>(style));
    record("CreateWindowExA", ex_style, quoted(class_name), quoted(window_name), style_text, x, y,
           width, height, handle(parent), handle(menu), handle(inst), handle(param));
    if (state().script.create_window_fails || state().window_proc == nullptr)
        return nullptr;
    state().window_exists = true;
    send(window, WM_CREATE, 0, 0);
    return window;
}

BOOL WINAPI ShowWindow(HWND hwnd, int show) {
    record("ShowWindow", handle(hwnd), show);
    return FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    record("UpdateWindow", handle(hwnd));
    send(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    record("SetWindowPos", handle(hwnd), handle(after), x, y, cx, cy, flags);
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    record("DestroyWindow", handle(hwnd));
    if (!state().window_exists)
        return FALSE;
    send(hwnd, WM_DESTROY, 0, 0);
    state().window_exists = false;
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    record("DefWindowProcA", message_name(message), wparam, lparam);
    if (message == WM_CLOSE)
        DestroyWindow(hwnd);
    return default_result;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    record("PeekMessageA", handle(hwnd), min, max, remove);
    count_queue_call("PeekMessageA");
    auto &queue = state().script.queue;
    if (queue.empty())
        return FALSE;
    *msg = queue.front();
    if (remove & PM_REMOVE)
        queue.pop_front();
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max) {
    record("GetMessageA", handle(hwnd), min, max);
    count_queue_call("GetMessageA");
    auto &queue = state().script.queue;
    if (!queue.empty()) {
        *msg = queue.front();
        queue.pop_front();
        return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    if (state().quit_posted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(state().exit_code);
        return FALSE;
    }
    if (state().script.get_message_failure != 0)
        return state().script.get_message_failure;
    // A real GetMessageA would block for ever here; the test has run out of script.
    state().log.push_back("GetMessageA: the queue ran dry");
    return -1;
}

BOOL WINAPI TranslateMessage(const MSG *msg) {
    record("TranslateMessage", message_name(msg->message));
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    record("DispatchMessageA", message_name(msg->message), msg->wParam, msg->lParam);
    return state().window_proc
               ? state().window_proc(msg->hwnd, msg->message, msg->wParam, msg->lParam)
               : 0;
}

void WINAPI PostQuitMessage(int exit_code) {
    record("PostQuitMessage", exit_code);
    state().quit_posted = true;
    state().exit_code = exit_code;
}

// ==== USER: painting, device contexts, capture, timer, metrics, message boxes ====

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    record("BeginPaint", handle(hwnd));
    *paint = PAINTSTRUCT{};
    paint->hdc = device_context;
    return device_context;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint) {
    record("EndPaint", handle(hwnd), handle(paint->hdc));
    return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
    record("GetDC", handle(hwnd));
    return device_context;
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    record("ReleaseDC", handle(hwnd), handle(dc));
    return 1;
}

HWND WINAPI WindowFromDC(HDC dc) {
    record("WindowFromDC", handle(dc));
    return window;
}

HWND WINAPI SetCapture(HWND hwnd) {
    record("SetCapture", handle(hwnd));
    const HWND previous = state().capture;
    state().capture = hwnd;
    return previous;
}

// As Win32 does, the window losing the capture hears of it before ReleaseCapture returns.
BOOL WINAPI ReleaseCapture() {
    record("ReleaseCapture");
    const HWND previous = state().capture;
    state().capture = nullptr;
    if (previous != nullptr)
        send(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC func) {
    record("SetTimer", handle(hwnd), id, elapse, func ? "func" : "null");
    return id;
}

int WINAPI GetSystemMetrics(int index) {
    record("GetSystemMetrics", index);
    if (index == SM_CYSCREEN)
        return state().script.screen_height;
    if (index == SM_CXSCREEN)
        return state().script.screen_width;
    return 0;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    record("MessageBoxA", handle(owner), quoted(text), quoted(caption), type);
    // Death tests read this from stderr: the box's text is what the user would have seen.
    std::fprintf(stderr, "MessageBoxA %s %s\n", quoted(caption).c_str(), quoted(text).c_str());
    return IDOK;
}

// ==== GDI ====

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR *pfd) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%02X", static_cast<unsigned>(pfd->dwFlags));
    record("ChoosePixelFormat", handle(dc), flags, static_cast<int>(pfd->cDepthBits));
    state().pixel_format_requests.push_back(*pfd);
    return state().script.chosen_format;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *pfd) {
    record("SetPixelFormat", handle(dc), format, pfd ? "pfd" : "null");
    if (pfd)
        state().pixel_format_requests.push_back(*pfd);
    return state().script.set_pixel_format;
}

int WINAPI GetPixelFormat(HDC dc) {
    record("GetPixelFormat", handle(dc));
    return state().script.chosen_format;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
    record("DescribePixelFormat", handle(dc), format, bytes);
    if (pfd)
        *pfd = state().script.described;
    return 1;
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE *log_palette) {
    record("CreatePalette", log_palette->palNumEntries);
    state().palette_version = log_palette->palVersion;
    state().palette_entries.assign(log_palette->palPalEntry,
                                   log_palette->palPalEntry + log_palette->palNumEntries);
    return state().script.create_palette_fails ? nullptr : palette;
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE pal, BOOL force_background) {
    record("SelectPalette", handle(dc), handle(pal), force_background);
    return nullptr;
}

UINT WINAPI RealizePalette(HDC dc) {
    record("RealizePalette", handle(dc));
    return 0;
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object) {
    record("UnrealizeObject", handle(object));
    return TRUE;
}

UINT WINAPI GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries) {
    record("GetSystemPaletteEntries", handle(dc), start, count);
    const auto &source = state().script.system_palette;
    UINT copied = 0;
    for (UINT i = start; i < start + count && i < source.size(); ++i, ++copied)
        entries[i - start] = source[i];
    return copied;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    record("SwapBuffers", handle(dc));
    return TRUE;
}

// ==== WGL ====

HGLRC WINAPI wglCreateContext(HDC dc) {
    record("wglCreateContext", handle(dc));
    return state().script.create_context_fails ? nullptr : gl_context;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    record("wglMakeCurrent", handle(dc), handle(context));
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    record("wglDeleteContext", handle(context));
    return TRUE;
}

// The module's resources and the screen: the class icon reaches the window manager, the arrow is
// the only cursor, and the screen size is the primary display's.
#include "layer_fixture.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>

namespace layer_test {
namespace {

using Resources = LayerTest;

// What the window manager is given: width, height, then ARGB pixels, one a word.
std::vector<unsigned long> window_icon(HWND hwnd) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    std::vector<unsigned long> words;
    if (SDL_GetWindowWMInfo(sdl_win32_sdl_window(hwnd), &info) != SDL_TRUE)
        return words;
    Display *display = info.info.x11.display;
    Atom type;
    int format;
    unsigned long count;
    unsigned long after;
    unsigned char *data = nullptr;
    XGetWindowProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_ICON", False),
                       0, 1 << 16, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    if (data != nullptr) {
        const auto *first = reinterpret_cast<const unsigned long *>(data);
        words.assign(first, first + count);
        XFree(data);
    }
    for (unsigned long &word : words)
        word &= 0xFFFFFFFFu;
    return words;
}

HWND window_of_class_with_icon(const char *class_name, HICON icon) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = sdl_win32_module();
    wc.hIcon = icon;
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);
    const HWND hwnd = CreateWindowExA(0, class_name, "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                                      nullptr, sdl_win32_module(), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

TEST_F(Resources, ClassIconBecomesTheWindowIconAndMissingIconsAreNull) {
    EXPECT_EQ(LoadIconA(sdl_win32_module(), MAKEINTRESOURCEA(555)), nullptr);
    const std::vector<std::uint32_t> small(16 * 16, 0xFF0000FFu);
    const std::vector<std::uint32_t> large(32 * 32, 0xFF00FF00u);
    sdl_win32_add_icon_image(555, 16, 16, small.data());
    sdl_win32_add_icon_image(555, 32, 32, large.data());
    const HICON icon = LoadIconA(sdl_win32_module(), MAKEINTRESOURCEA(555));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(sdl_win32_module(), MAKEINTRESOURCEA(555)), icon);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = sdl_win32_module();
    wc.hIcon = icon;
    wc.lpszClassName = "sdl layer icon test";
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0) << "a class is registered once";
    const HWND hwnd = CreateWindowExA(0, "sdl layer icon test", "", WS_OVERLAPPEDWINDOW, 0, 0, 50,
                                      50, nullptr, nullptr, sdl_win32_module(), nullptr);
    ASSERT_NE(hwnd, nullptr);
    windows.push_back(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    const std::vector<unsigned long> shown = window_icon(hwnd);
    ASSERT_EQ(shown.size(), 2u + 32 * 32) << "the largest image";
    EXPECT_EQ(shown[2], 0xFF00FF00u);
}

// A 2 by 2 icon file of 16 colours: rows bottom-up, 4 bits a pixel, high nibble first, and a mask
// that makes the top right pixel transparent.
TEST_F(Resources, IconFileImagesDecodeToArgb) {
    std::vector<unsigned char> ico = {0,  0, 1,  0, 1, 0,                   // one image
                                      2,  2, 16, 0, 1, 0, 4, 0, 0, 0, 0, 0, // size filled below
                                      22, 0, 0,  0};
    const unsigned char header[40] = {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 4, 0};
    ico.insert(ico.end(), header, header + 40);
    const unsigned char palette[16 * 4] = {0x30, 0x20, 0x10, 0, 0x03, 0x02, 0x01, 0};
    ico.insert(ico.end(), palette, palette + sizeof palette);
    const unsigned char rows[] = {0x10, 0, 0, 0, 0x01, 0, 0, 0,  // colours: bottom, top
                                  0x00, 0, 0, 0, 0x40, 0, 0, 0}; // mask: bottom, top
    ico.insert(ico.end(), rows, rows + sizeof rows);
    ico[14] = static_cast<unsigned char>(ico.size() - 22);

    EXPECT_FALSE(sdl_win32_add_icon_resource(556, ico.data(), 30)) << "truncated";
    ASSERT_TRUE(sdl_win32_add_icon_resource(556, ico.data(), ico.size()));
    const HWND hwnd = window_of_class_with_icon(
        "sdl layer icon file test", LoadIconA(sdl_win32_module(), MAKEINTRESOURCEA(556)));
    windows.push_back(hwnd);
    EXPECT_EQ(window_icon(hwnd), (std::vector<unsigned long>{2, 2, 0xFF102030u, 0x00010203u,
                                                             0xFF010203u, 0xFF102030u}));
}

TEST_F(Resources, OnlyTheSystemArrowCursorAndTheScreenOfThePrimaryDisplay) {
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), nullptr); // IDC_IBEAM
    // with_xvfb.sh makes a 1024x768 screen
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

} // namespace
} // namespace layer_test

// The process entry: the window class, the information box, the window, and the message loop
// that drives all drawing through the idle function.
#include "app/window_proc.h"
#include "scene/viewer_state.h"

namespace {

constexpr int icon_resource_id = 101;
constexpr const char *info_text = " mouse: touch the window image for movement----- ";
constexpr const char *info_caption = "soft by Veldrane - helicoid-viewer@example.org ";

// Without a class or a window no quit message would ever come: say which step failed instead.
int error_box_exit_code(const char *text) {
    MessageBoxA(nullptr, text, "Error", MB_ICONERROR);
    return 1;
}

// 80 per cent of the screen height, truncated toward zero.
int window_side() {
    return static_cast<int>(GetSystemMetrics(SM_CYSCREEN) * 0.8);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_cmd) {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = window_proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(icon_resource_id));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = viewer.window_class_name;
    if (RegisterClassA(&wc) == 0)
        return error_box_exit_code("The window class could not be registered.");

    MessageBoxA(nullptr, info_text, info_caption, MB_OK);

    viewer.window_width = window_side();
    viewer.window_height = window_side();

    HWND hwnd = CreateWindowExA(0, viewer.window_class_name, viewer.window_title,
                                WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                viewer.window_x, viewer.window_y, viewer.window_width,
                                viewer.window_height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr)
        return error_box_exit_code("The window could not be created.");
    ShowWindow(hwnd, show_cmd);
    UpdateWindow(hwnd);

    MSG msg = {};
    for (;;) {
        // Every waiting message is handled before the next frame.
        while (viewer.idle_function != nullptr) {
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                break;
            viewer.idle_function();
        }
        if (GetMessageA(&msg, nullptr, 0, 0) != TRUE)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

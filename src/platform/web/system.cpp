// Screen metrics (the page's viewport), the modal message box, and the class icon.
#include "platform/web/state.h"

using namespace web_layer;

int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        unsupported("GetSystemMetrics", "a metric other than the screen size");
        return 0;
    }
    return web_viewport(index == SM_CYSCREEN ? 1 : 0);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (type != MB_OK && type != (MB_OK | MB_ICONERROR)) {
        unsupported("MessageBoxA", "a box with buttons other than OK or with options");
        return 0;
    }
    if (owner != nullptr && find_window(owner) == nullptr)
        return 0; // ERROR_INVALID_WINDOW_HANDLE
    // Modal: the program sleeps until the box is dismissed, and the window takes no input.
    web_state().box_up = true;
    // A null caption is "Error" on Windows.
    web_message_box(text != nullptr ? text : "", caption != nullptr ? caption : "Error",
                    (type & MB_ICONERROR) != 0 ? 1 : 0);
    web_state().box_up = false;
    return IDOK;
}

// The page has no icons: the class keeps none, as for a missing resource.
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
    return nullptr;
}

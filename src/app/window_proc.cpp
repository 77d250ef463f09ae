// Owns the rendering resources from creation to destruction and turns messages into frame
// requests and trackball steps. It never draws: frames come from the idle function.
#include "app/window_proc.h"

#include "context/palette.h"
#include "context/pixel_format.h"
#include "interaction/trackball.h"
#include "redraw/redraw.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"

namespace {

constexpr UINT_PTR timer_id = 1;
constexpr UINT timer_interval_ms = 100;
constexpr double key_step = 0.05;

// Pointer coordinates are signed 16-bit: a captured pointer left of or above the window is
// negative.
int pointer_x(LPARAM lparam) {
    return static_cast<short>(LOWORD(lparam));
}
int pointer_y(LPARAM lparam) {
    return static_cast<short>(HIWORD(lparam));
}

void on_create(HWND hwnd) {
    SetTimer(hwnd, timer_id, timer_interval_ms, nullptr);
    viewer.device_context = GetDC(hwnd);
    setup_pixel_format(viewer.device_context);
    setup_palette(viewer.device_context);
    viewer.gl_context = wglCreateContext(viewer.device_context);
    wglMakeCurrent(viewer.device_context, viewer.gl_context);
    init_scene();
}

void on_destroy(HWND hwnd) {
    if (viewer.gl_context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(viewer.gl_context);
    }
    viewer.idle_function = nullptr;
    ReleaseDC(hwnd, viewer.device_context);
    PostQuitMessage(0);
}

void realize_palette() {
    UnrealizeObject(viewer.palette);
    SelectPalette(viewer.device_context, viewer.palette, FALSE);
    RealizePalette(viewer.device_context);
    request_redraw();
}

// Returns true when the character was one of the five commands.
bool on_char(HWND hwnd, WPARAM code) {
    switch (code) {
    case VK_ESCAPE: // Escape's character code is its key code
        DestroyWindow(hwnd);
        return true;
    case 'f':
        viewer.fog_enabled = viewer.fog_enabled == 0 ? 1 : 0;
        break;
    case 'p':
        viewer.wireframe = viewer.wireframe == 0 ? 1 : 0;
        break;
    case 'j':
        step_key_level_up();
        break;
    case 'k':
        step_key_level_down();
        break;
    default:
        return false;
    }
    request_redraw();
    return true;
}

} // namespace

// The sum is formed and bounded in double, against the float bounds, then stored as float.
void step_key_level_up() {
    const double level = static_cast<double>(viewer.key_level) + key_step;
    viewer.key_level = level >= static_cast<double>(1.05f) ? 1.05f : static_cast<float>(level);
}

void step_key_level_down() {
    const double level = static_cast<double>(viewer.key_level) - key_step;
    viewer.key_level = level <= static_cast<double>(0.01f) ? 0.01f : static_cast<float>(level);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const bool ready = viewer.gl_context != nullptr;
    switch (message) {
    case WM_CREATE:
        on_create(hwnd);
        return 0;
    case WM_DESTROY:
        on_destroy(hwnd);
        return 0;
    case WM_SIZE:
        if (!ready)
            break;
        // Every resize is answered by the fixed outer size; the position stays (SWP_NOMOVE).
        SetWindowPos(hwnd, HWND_TOP, 80, 80, viewer.window_width, viewer.window_height, SWP_NOMOVE);
        return 0;
    case WM_PAINT: {
        if (!ready)
            break;
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        request_redraw();
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CHAR:
        if (on_char(hwnd, wparam))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (!ready)
            break;
        // A move without the left button during a drag means its release went elsewhere (focus
        // taken, button let go over another window): it never turns the model.
        if ((wparam & MK_LBUTTON) != 0)
            trackball_motion(pointer_x(lparam), pointer_y(lparam));
        else
            trackball_release_lost();
        break;
    case WM_LBUTTONDOWN:
        if (!ready)
            break;
        SetCapture(hwnd);
        trackball_start(1, pointer_x(lparam), pointer_y(lparam));
        return 0;
    case WM_LBUTTONUP:
        if (!ready)
            break;
        // ReleaseCapture sends WM_CAPTURECHANGED at once; that one loses no release.
        viewer.releasing_capture = 1;
        ReleaseCapture();
        viewer.releasing_capture = 0;
        trackball_stop(1, pointer_x(lparam), pointer_y(lparam));
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the pointer, or the system took it away (Alt-Tab): the button-up
        // will not come here.
        if (ready && viewer.releasing_capture == 0)
            trackball_release_lost();
        break;
    case WM_QUERYNEWPALETTE:
        if (viewer.palette == nullptr)
            break;
        realize_palette();
        return TRUE;
    case WM_PALETTECHANGED:
        // A change that came from this window's own realisation needs no answer.
        if (viewer.palette == nullptr || reinterpret_cast<HWND>(wparam) == hwnd)
            break;
        realize_palette();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

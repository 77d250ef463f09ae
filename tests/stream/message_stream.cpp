#include "message_stream.h"

#include "app/window_proc.h"
#include "platform/opengl.h"
#include "redraw/redraw.h"
#include "scene/viewer_state.h"
#include "win32_double.h"

#include <cmath>
#include <string>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::int16_t coordinate() {
        // Bias towards the edges and extremes, where sign and range faults live.
        switch (byte() % 4) {
        case 0:
            return static_cast<std::int16_t>(byte() % 2 ? 32767 : -32768);
        case 1:
            return static_cast<std::int16_t>(static_cast<int>(byte()) * 3 - 100);
        default:
            return static_cast<std::int16_t>(byte() | byte() << 8);
        }
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::string check_state(const char *after) {
    const float *m = viewer.model_transform;
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m[i]))
            return std::string("model_transform not finite after ") + after;
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            const double dot = double(m[4 * a]) * m[4 * b] + double(m[4 * a + 1]) * m[4 * b + 1] +
                               double(m[4 * a + 2]) * m[4 * b + 2];
            if (std::fabs(dot - (a == b ? 1.0 : 0.0)) > 1e-5)
                return std::string("model_transform not a rotation after ") + after;
        }
    }
    if (!(viewer.key_level >= 0.01f && viewer.key_level <= 1.05f))
        return std::string("key_level out of range after ") + after;
    if (viewer.idle_function != nullptr && viewer.idle_function != idle_redraw)
        return std::string("foreign idle function after ") + after;
    return {};
}

std::string check_frame_reset() {
    for (GLenum c : {GL_TEXTURE_2D, GL_CULL_FACE, GL_LIGHTING, GL_DEPTH_TEST})
        if (glIsEnabled(c))
            return "a capability stayed on after a frame";
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    if (modes[0] != GL_FILL || modes[1] != GL_FILL)
        return "polygon mode stayed lines after a frame";
    return {};
}

} // namespace

std::string run_message_stream(const std::uint8_t *data, std::size_t size) {
    using win32_double::window;
    Bytes bytes(data, size);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.lpszClassName = viewer.window_class_name;
    RegisterClassA(&wc);
    CreateWindowExA(0, viewer.window_class_name, viewer.window_title, 0, 0, 0, viewer.window_width,
                    viewer.window_height, nullptr, nullptr, nullptr, nullptr);
    bool alive = true;
    std::string broken = check_state("creation");
    while (broken.empty() && alive && !bytes.empty()) {
        const std::size_t logged = win32_double::log().size();
        const std::uint8_t kind = bytes.byte();
        const char *what = "a message";
        switch (kind % 12) {
        case 0:
        case 1:
        case 2: {
            const std::uint8_t code = bytes.byte();
            // Escape ends the window; keep it rare so that streams get long.
            if (code == 27 && bytes.byte() % 8 != 0)
                break;
            window_proc(window, WM_CHAR, code, 0);
            what = "WM_CHAR";
            break;
        }
        case 3:
        case 4: {
            // Moves with and without the button: one without it ends a drag.
            const WPARAM buttons = bytes.byte() % 2 != 0 ? MK_LBUTTON : 0;
            window_proc(window, WM_MOUSEMOVE, buttons,
                        win32_double::point(bytes.coordinate(), bytes.coordinate()));
            what = "WM_MOUSEMOVE";
            break;
        }
        case 5:
            window_proc(window, WM_LBUTTONDOWN, 1,
                        win32_double::point(bytes.coordinate(), bytes.coordinate()));
            what = "WM_LBUTTONDOWN";
            break;
        case 6:
            window_proc(window, WM_LBUTTONUP, 0,
                        win32_double::point(bytes.coordinate(), bytes.coordinate()));
            what = "WM_LBUTTONUP";
            break;
        case 7:
            window_proc(window, WM_SIZE, bytes.byte() % 4,
                        win32_double::point(bytes.coordinate(), bytes.coordinate()));
            what = "WM_SIZE";
            break;
        case 8:
            window_proc(window, WM_PAINT, 0, 0);
            what = "WM_PAINT";
            break;
        case 9:
            window_proc(window, bytes.byte() % 2 ? WM_QUERYNEWPALETTE : WM_PALETTECHANGED,
                        reinterpret_cast<WPARAM>(bytes.byte() % 2 ? window : nullptr), 0);
            what = "a palette message";
            break;
        case 10:
            window_proc(window, WM_TIMER, 1, 0);
            what = "WM_TIMER";
            break;
        case 11:
            // An empty queue: the loop calls the idle function, which may draw a frame or more.
            for (int frames = bytes.byte() % 4; frames > 0 && viewer.idle_function; --frames) {
                viewer.idle_function();
                broken = check_frame_reset();
                if (!broken.empty())
                    return broken;
            }
            what = "frames";
            break;
        }
        // The destruction sequence posts the quit message; nothing reaches the window after it.
        const auto &log = win32_double::log();
        for (std::size_t i = logged; i < log.size(); ++i)
            alive = alive && log[i].rfind("PostQuitMessage", 0) != 0;
        if (broken.empty())
            broken = check_state(what);
    }
    if (broken.empty() && alive)
        window_proc(window, WM_CLOSE, 0, 0);
    if (broken.empty() && viewer.idle_function != nullptr)
        broken = "a frame could still be drawn after destruction";
    return broken;
}

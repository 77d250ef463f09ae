// The trackball only writes viewer-state fields; draw_frame applies what it leaves there.
#include "interaction/trackball.h"

#include "redraw/redraw.h"
#include "scene/viewer_state.h"

#include <cmath>

namespace {

// Slightly above pi/2, so that the rim lands at z = cos(1.5707964) (about -4.4e-8), not 0. With
// pi/2 itself a drag that reaches the rim spins about a slightly different axis, and the model
// drifts out of its pose: hundreds of pixels differ after 2000 frames, thousands after 20000.
constexpr float half_pi = 1.5707964f;

} // namespace

void trackball_point(int x, int y, int width, int height, float out[3]) {
    const double w = width;
    const double h = height;
    const double px = (2.0 * x - w) / w;
    const double py = (h - 2.0 * y) / h;
    double d = std::sqrt(px * px + py * py);
    if (!(d < 1.0)) // also when d is not a number
        d = 1.0;
    const double pz = std::cos(d * static_cast<double>(half_pi));
    const double scale = 1.0 / std::sqrt(px * px + py * py + pz * pz);
    out[0] = static_cast<float>(px * scale);
    out[1] = static_cast<float>(py * scale);
    out[2] = static_cast<float>(pz * scale);
}

void trackball_start(int button, int x, int y) {
    if (button != 1)
        return;
    viewer.spin_active = 1;
    viewer.dragging = 1;
    viewer.animate = 0;
    viewer.press_x = x;
    viewer.press_y = y;
    viewer.last_x = x;
    viewer.last_y = y;
    trackball_point(x, y, viewer.window_width, viewer.window_height, viewer.last_point);
}

void trackball_motion(int x, int y) {
    if (viewer.dragging == 0)
        return;
    float n[3];
    trackball_point(x, y, viewer.window_width, viewer.window_height, n);
    const float *l = viewer.last_point;
    const double dx = n[0] - l[0];
    const double dy = n[1] - l[1];
    const double dz = n[2] - l[2];
    viewer.spin_angle = static_cast<float>(90.0 * std::sqrt(dx * dx + dy * dy + dz * dz));
    // previous x new: a positive turn about it carries the previous point towards the new one.
    const float axis[3] = {l[1] * n[2] - l[2] * n[1], l[2] * n[0] - l[0] * n[2],
                           l[0] * n[1] - l[1] * n[0]};
    for (int i = 0; i < 3; ++i) {
        viewer.spin_axis[i] = axis[i];
        viewer.last_point[i] = n[i];
    }
    viewer.last_x = x;
    viewer.last_y = y;
    request_redraw();
}

void trackball_stop(int button, int x, int y) {
    if (button != 1 || viewer.spin_active != 1)
        return;
    viewer.dragging = 0;
    if (x == viewer.press_x && y == viewer.press_y) {
        // A click: everything stops.
        viewer.spin_angle = 0.0f;
        viewer.animate = 0;
        viewer.spin_active = 0;
    } else {
        viewer.animate = 1;
    }
    request_redraw();
}

void trackball_release_lost() {
    if (viewer.dragging != 0)
        trackball_stop(1, viewer.last_x, viewer.last_y);
}

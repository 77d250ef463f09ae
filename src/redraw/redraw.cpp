// The idle-function protocol. idle_function holds either null or idle_redraw.
#include "redraw/redraw.h"

#include "scene/frame.h"
#include "scene/viewer_state.h"

void request_redraw() {
    if (viewer.idle_function == nullptr)
        viewer.idle_function = idle_redraw;
}

void idle_redraw() {
    // Removal comes before the frame, so with animate off each request yields exactly one frame.
    if (viewer.animate == 0)
        viewer.idle_function = nullptr;
    draw_frame();
}

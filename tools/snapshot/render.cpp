// Plays what the viewer's message loop would do, with one empty-queue moment between events.
#include "render.h"

#include "interaction/trackball.h"
#include "platform/opengl.h"
#include "redraw/redraw.h"
#include "scene/frame.h"
#include "scene/scene_setup.h"
#include "scene/viewer_state.h"

#include <cstring>

namespace {

// The loop calls the installed idle function once when the queue is empty.
int run_idle_once() {
    if (viewer.idle_function == nullptr)
        return 0;
    viewer.idle_function();
    return 1;
}

} // namespace

Picture read_picture(int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Picture picture{width, height,
                    std::vector<unsigned char>(static_cast<size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        const unsigned char *from = &rgba[static_cast<size_t>(height - 1 - y) * width * 4];
        unsigned char *to = &picture.rgb[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x)
            std::memcpy(to + x * 3, from + x * 4, 3);
    }
    return picture;
}

Picture render_snapshot(const SnapshotOptions &options, std::string *log) {
    viewer = ViewerState{};
    viewer.window_width = options.window_width;
    viewer.window_height = options.window_height;
    viewer.fog_enabled = options.fog ? 1 : 0;
    viewer.wireframe = options.wireframe ? 1 : 0;
    viewer.texture_enabled = options.built_with.texture ? 1 : 0;
    viewer.texture_replace = options.built_with.texture_replace ? 1 : 0;
    viewer.cull_faces = options.built_with.cull_faces ? 1 : 0;
    viewer.perspective = options.built_with.perspective ? 1 : 0;
    viewer.lighting_enabled = options.built_with.unlit ? 0 : 1;
    if (options.increment_angle) {
        viewer.spin_angle = *options.increment_angle;
        for (int i = 0; i < 3; ++i)
            viewer.spin_axis[i] = options.increment_axis[i];
    }
    init_scene();

    int frames = 0;
    if (options.spin_frames > 0) {
        viewer.spin_active = 1;
        for (int i = 0; i < options.spin_frames; ++i)
            draw_frame();
        frames = options.spin_frames;
    } else {
        // The first paint installs the idle function, which draws the first frame.
        request_redraw();
        frames += run_idle_once();
        for (const TrackballEvent &event : options.trackball) {
            switch (event.kind) {
            case TrackballEvent::press:
                trackball_start(1, event.x, event.y);
                break;
            case TrackballEvent::move:
                trackball_motion(event.x, event.y);
                break;
            case TrackballEvent::release:
                trackball_stop(1, event.x, event.y);
                break;
            case TrackballEvent::frames:
                for (int i = 0; i < event.x; ++i)
                    frames += run_idle_once();
                continue;
            }
            frames += run_idle_once();
        }
    }
    if (log)
        *log = std::to_string(frames) + (frames == 1 ? " frame" : " frames");
    return read_picture(options.width, options.height);
}

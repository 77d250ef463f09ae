// Every process-wide variable of the viewer, gathered in one record that exists once.
#pragma once

#include "platform/win32.h"
#include "scene/mesh.h"

struct ViewerState {
    // Window and platform handles
    const char *window_class_name = "OpenGL";
    const char *window_title = " soft by Veldrane";
    int window_x = 50;
    int window_y = 50;
    int window_width = 0;  // outer size, set once by WinMain
    int window_height = 0; // equal to window_width
    HDC device_context = nullptr;
    HGLRC gl_context = nullptr; // non-null: the window is ready for drawing
    HPALETTE palette = nullptr;
    void (*idle_function)() = nullptr;

    // Fixed when the program is built
    int double_buffered = 1;
    int depth_buffered = 1;
    int lighting_enabled = 1;
    int texture_enabled = 0;
    int texture_replace = 0;
    int cull_faces = 0;
    int perspective = 0;

    // User toggles
    int fog_enabled = 0;
    int wireframe = 0;
    float key_level = 0.55f;

    // Rotation and trackball
    float model_transform[16] = {}; // column-major; the identity once the scene is set up
    float spin_angle = 2.0f;        // degrees
    float spin_axis[3] = {0.3f, 0.2f, 0.4f};
    int spin_active = 0; // the increment is applied only when exactly 1
    int animate = 1;
    int dragging = 0;
    int press_x = 0;
    int press_y = 0;
    float last_point[3] = {0.0f, 0.0f, 0.0f};
    int last_x = 0; // the drag's last window point: where a lost release is taken to be
    int last_y = 0;
    int releasing_capture = 0; // inside the button-up's own ReleaseCapture

    // Lights and materials: GL_LIGHT1 to GL_LIGHT6, all directional
    float light_positions[6][4] = {
        {-10.0f, 14.0f, 4.0f, 0.0f}, {5.0f, -6.0f, -2.0f, 0.0f}, {0.0f, -3.0f, 4.0f, 0.0f},
        {0.0f, -2.0f, -5.0f, 0.0f},  {0.0f, 0.0f, -8.0f, 0.0f},  {-20.0f, -10.0f, -2.0f, 0.0f},
    };
    float front_diffuse[3] = {0.7f, 0.3f, 0.4f};
    float back_diffuse[3] = {0.2f, 0.5f, 0.3f};

    Mesh mesh = {helicoid_faces,
                 helicoid_face_count,
                 helicoid_positions,
                 helicoid_position_count,
                 helicoid_normals,
                 helicoid_normal_count,
                 nullptr,
                 0};
};

// The one instance. Its defaults are constant-initialised: they hold before any code runs.
extern ViewerState viewer;

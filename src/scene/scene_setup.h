// The one-time OpenGL set-up of a new rendering context: fog, projection, lights, texture, pose.
#pragma once

// Needs the context current and window_width and window_height positive.
void init_scene();
void set_projection();
void make_checker_texture();

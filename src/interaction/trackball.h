// The virtual trackball: left-button drags become a rotation increment (spin_angle about
// spin_axis) that every frame applies while spin_active is 1.
#pragma once

// The point on the unit sphere laid over a width x height window for window point (x, y).
void trackball_point(int x, int y, int width, int height, float out[3]);

void trackball_start(int button, int x, int y);
void trackball_motion(int x, int y);
void trackball_stop(int button, int x, int y);
// The release of a drag never arrived (capture taken away, button up elsewhere): the drag ends
// as if released at its last point.
void trackball_release_lost();

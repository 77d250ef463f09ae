// Drawing one complete frame of the model and presenting it.
#pragma once

void draw_frame();
void apply_materials();

// The rotation step of a frame: multiplies the spin increment into model_transform through
// OpenGL's matrix stack when spin_active is exactly 1. The product stands bit for bit until it has
// drifted measurably from a rotation; only then is it corrected.
void apply_spin_increment();

// Makes the upper 3x3 of a column-major 4x4 matrix a rotation again: the product of many
// increments in float slowly stops being one and the model grows.
void orthonormalize_rotation(float m[16]);

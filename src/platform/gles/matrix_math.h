// Matrix arithmetic in single precision, in the order of OpenGL 1.1's definitions, so that a
// matrix read back equals what a fixed-function implementation computes, rounding included.
#pragma once

namespace gl_subset {

void identity(float out[16]);

// out = a * b (column-major); out may alias a or b.
void multiply(float out[16], const float a[16], const float b[16]);

// glRotatef's matrix; the identity when the axis has (almost) no length.
void rotation(float out[16], float angle_degrees, float x, float y, float z);

// m = m * translation(x, y, z).
void translate(float m[16], float x, float y, float z);

void ortho(float out[16], double left, double right, double bottom, double top, double near_val,
           double far_val);
void frustum(float out[16], double left, double right, double bottom, double top, double near_val,
             double far_val);

// out = m * v for a four-component v.
void transform(float out[4], const float m[16], const float v[4]);

// The inverse transpose of m's upper 3x3, column-major, for normals; the upper 3x3 itself when
// it cannot be inverted.
void normal_matrix(float out[9], const float m[16]);

} // namespace gl_subset

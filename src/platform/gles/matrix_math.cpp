// Single-precision matrix arithmetic as OpenGL 1.1 defines each matrix.
#include "platform/gles/matrix_math.h"

#include <cmath>
#include <cstring>

namespace gl_subset {

namespace {

constexpr double pi = 3.14159265358979323846;

float &at(float m[16], int row, int column) {
    return m[column * 4 + row];
}

const float identity_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

void identity(float out[16]) {
    std::memcpy(out, identity_matrix, sizeof identity_matrix);
}

void multiply(float out[16], const float a[16], const float b[16]) {
    float product[16];
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            // Summed left to right in float, as fixed-function implementations do.
            product[column * 4 + row] = a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1] +
                                        a[8 + row] * b[column * 4 + 2] +
                                        a[12 + row] * b[column * 4 + 3];
        }
    }
    std::memcpy(out, product, sizeof product);
}

void rotation(float out[16], float angle_degrees, float x, float y, float z) {
    identity(out);
    // sin and cos in double, then rounded: the angle in radians is not exact in float.
    const float s = static_cast<float>(std::sin(angle_degrees * pi / 180.0));
    const float c = static_cast<float>(std::cos(angle_degrees * pi / 180.0));
    // About a coordinate axis the other axis stays exactly fixed: (1 - c) + c need not be 1.
    const bool on_x = y == 0 && z == 0 && x != 0;
    const bool on_y = x == 0 && z == 0 && y != 0;
    const bool on_z = x == 0 && y == 0 && z != 0;
    if (on_x || on_y || on_z) {
        const int i = on_x ? 1 : on_y ? 2 : 0; // the plane turned is (i, j)
        const int j = on_x ? 2 : on_y ? 0 : 1;
        const float axis = on_x ? x : on_y ? y : z;
        const float sine = axis < 0 ? -s : s;
        at(out, i, i) = c;
        at(out, j, j) = c;
        at(out, i, j) = -sine;
        at(out, j, i) = sine;
        return;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    // A zero (or vanishing) axis is no rotation, never a matrix of NaNs.
    if (!(length > 1.0e-4f))
        return;
    x /= length;
    y /= length;
    z /= length;
    const float xx = x * x, yy = y * y, zz = z * z;
    const float xy = x * y, yz = y * z, zx = z * x;
    const float xs = x * s, ys = y * s, zs = z * s;
    const float one_c = 1.0f - c;
    at(out, 0, 0) = (one_c * xx) + c;
    at(out, 0, 1) = (one_c * xy) - zs;
    at(out, 0, 2) = (one_c * zx) + ys;
    at(out, 1, 0) = (one_c * xy) + zs;
    at(out, 1, 1) = (one_c * yy) + c;
    at(out, 1, 2) = (one_c * yz) - xs;
    at(out, 2, 0) = (one_c * zx) - ys;
    at(out, 2, 1) = (one_c * yz) + xs;
    at(out, 2, 2) = (one_c * zz) + c;
}

void translate(float m[16], float x, float y, float z) {
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

// The bounds are rounded to float first and the entries computed in float, as fixed-function
// implementations store them.
void ortho(float out[16], double left_d, double right_d, double bottom_d, double top_d,
           double near_d, double far_d) {
    const float left = static_cast<float>(left_d), right = static_cast<float>(right_d);
    const float bottom = static_cast<float>(bottom_d), top = static_cast<float>(top_d);
    const float near_val = static_cast<float>(near_d), far_val = static_cast<float>(far_d);
    std::memset(out, 0, 16 * sizeof(float));
    at(out, 0, 0) = 2.0f / (right - left);
    at(out, 0, 3) = -(right + left) / (right - left);
    at(out, 1, 1) = 2.0f / (top - bottom);
    at(out, 1, 3) = -(top + bottom) / (top - bottom);
    at(out, 2, 2) = -2.0f / (far_val - near_val);
    at(out, 2, 3) = -(far_val + near_val) / (far_val - near_val);
    at(out, 3, 3) = 1;
}

void frustum(float out[16], double left_d, double right_d, double bottom_d, double top_d,
             double near_d, double far_d) {
    const float left = static_cast<float>(left_d), right = static_cast<float>(right_d);
    const float bottom = static_cast<float>(bottom_d), top = static_cast<float>(top_d);
    const float near_val = static_cast<float>(near_d), far_val = static_cast<float>(far_d);
    std::memset(out, 0, 16 * sizeof(float));
    at(out, 0, 0) = (2.0f * near_val) / (right - left);
    at(out, 0, 2) = (right + left) / (right - left);
    at(out, 1, 1) = (2.0f * near_val) / (top - bottom);
    at(out, 1, 2) = (top + bottom) / (top - bottom);
    at(out, 2, 2) = -(far_val + near_val) / (far_val - near_val);
    at(out, 2, 3) = -(2.0f * far_val * near_val) / (far_val - near_val);
    at(out, 3, 2) = -1;
}

void transform(float out[4], const float m[16], const float v[4]) {
    float result[4];
    for (int row = 0; row < 4; ++row)
        result[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    std::memcpy(out, result, sizeof result);
}

void normal_matrix(float out[9], const float m[16]) {
    double a[3][3]; // a[row][column]
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            a[row][column] = m[column * 4 + row];
    // Cofactors: the inverse transpose is the cofactor matrix over the determinant.
    double cofactor[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r0 = (row + 1) % 3, r1 = (row + 2) % 3;
            const int c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            cofactor[row][column] = a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0];
        }
    }
    const double determinant =
        a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            out[column * 3 + row] = static_cast<float>(
                determinant != 0 ? cofactor[row][column] / determinant : a[row][column]);
}

} // namespace gl_subset

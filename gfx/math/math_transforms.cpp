// Builders for the common transformation matrices (row-vector, left-handed forms).

#include <cmath>

#include "gfx/math/math.h"

namespace gfx {

Matrix MatrixScaling(float x, float y, float z) {
    Matrix out;
    out.m[0][0] = x;
    out.m[1][1] = y;
    out.m[2][2] = z;
    return out;
}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix out;
    out.m[3][0] = x;
    out.m[3][1] = y;
    out.m[3][2] = z;
    return out;
}

Matrix MatrixRotationX(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix out;
    out.m[1][1] = c;
    out.m[1][2] = s;
    out.m[2][1] = -s;
    out.m[2][2] = c;
    return out;
}

Matrix MatrixRotationY(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix out;
    out.m[0][0] = c;
    out.m[0][2] = -s;
    out.m[2][0] = s;
    out.m[2][2] = c;
    return out;
}

Matrix MatrixRotationZ(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix out;
    out.m[0][0] = c;
    out.m[0][1] = s;
    out.m[1][0] = -s;
    out.m[1][1] = c;
    return out;
}

Matrix MatrixRotationAxis(const Vec3& axis, float angle) {
    const Vec3 n = Vec3Normalize(axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Matrix out;
    out.m[0][0] = t * n.x * n.x + c;
    out.m[0][1] = t * n.x * n.y + s * n.z;
    out.m[0][2] = t * n.x * n.z - s * n.y;
    out.m[1][0] = t * n.x * n.y - s * n.z;
    out.m[1][1] = t * n.y * n.y + c;
    out.m[1][2] = t * n.y * n.z + s * n.x;
    out.m[2][0] = t * n.x * n.z + s * n.y;
    out.m[2][1] = t * n.y * n.z - s * n.x;
    out.m[2][2] = t * n.z * n.z + c;
    return out;
}

Matrix MatrixRotationQuaternion(const Quat& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix out;
    out.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    out.m[0][1] = 2.0f * (x * y + z * w);
    out.m[0][2] = 2.0f * (x * z - y * w);
    out.m[1][0] = 2.0f * (x * y - z * w);
    out.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    out.m[1][2] = 2.0f * (y * z + x * w);
    out.m[2][0] = 2.0f * (x * z + y * w);
    out.m[2][1] = 2.0f * (y * z - x * w);
    out.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    return MatrixMultiply(MatrixMultiply(MatrixRotationZ(roll), MatrixRotationX(pitch)),
                          MatrixRotationY(yaw));
}

Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
    const Vec3 z = Vec3Normalize(at - eye);
    const Vec3 x = Vec3Normalize(Vec3Cross(up, z));
    const Vec3 y = Vec3Cross(z, x);
    Matrix out;
    // The camera axes are the columns, so that p * out gives the camera-space coordinates.
    out.m[0][0] = x.x;
    out.m[0][1] = y.x;
    out.m[0][2] = z.x;
    out.m[1][0] = x.y;
    out.m[1][1] = y.y;
    out.m[1][2] = z.y;
    out.m[2][0] = x.z;
    out.m[2][1] = y.z;
    out.m[2][2] = z.z;
    out.m[3][0] = -Vec3Dot(x, eye);
    out.m[3][1] = -Vec3Dot(y, eye);
    out.m[3][2] = -Vec3Dot(z, eye);
    return out;
}

Matrix MatrixPerspectiveFovLH(float fovy, float aspect, float zn, float zf) {
    const float y_scale = 1.0f / std::tan(fovy * 0.5f);
    const float x_scale = y_scale / aspect;
    Matrix out;
    out.m[0][0] = x_scale;
    out.m[1][1] = y_scale;
    out.m[2][2] = zf / (zf - zn);
    out.m[2][3] = 1.0f;
    out.m[3][2] = -zn * zf / (zf - zn);
    out.m[3][3] = 0.0f;
    return out;
}

}  // namespace gfx

#pragma once
// Vector, matrix and quaternion maths matching the classic D3DX results: 32-bit floats, row
// vectors (p' = p * M, so MatrixMultiply(a, b) applies a first), left-handed frames, quaternions
// with w last. Angles are in radians.

#include <optional>

#include "gfx/math/math_types.h"

namespace gfx {

// ---- Vec3 ----

constexpr Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vec3 operator-(const Vec3& v) {
    return {-v.x, -v.y, -v.z};
}
constexpr Vec3 operator*(const Vec3& v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}
constexpr Vec3 operator*(float s, const Vec3& v) {
    return v * s;
}

constexpr float Vec3Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr Vec3 Vec3Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
constexpr float Vec3LengthSq(const Vec3& v) {
    return Vec3Dot(v, v);
}
float Vec3Length(const Vec3& v);
// a + t * (b - a).
constexpr Vec3 Vec3Lerp(const Vec3& a, const Vec3& b, float t) {
    return a + (b - a) * t;
}
// Unit vector along v; (0, 0, 0) when the squared length is <= 1e-10 (too short for a direction).
Vec3 Vec3Normalize(const Vec3& v);

// (x, y, z, 1) * m.
Vec4 Vec3Transform(const Vec3& v, const Matrix& m);
// (x, y, z, 1) * m divided by the resulting w (a zero w gives infinities, as D3DX does).
Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m);
// (x, y, z) * the upper 3 x 3 of m: directions ignore translation.
Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m);

// ---- Matrix ----

inline Matrix MatrixIdentity() {
    return Matrix{};
}
// a * b: transforming by the result applies a, then b.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix MatrixTranspose(const Matrix& m);
float MatrixDeterminant(const Matrix& m);
// General 4 x 4 inverse (not only affine). nullopt when the determinant is exactly 0.
// *determinant, when given, receives the determinant in either case.
std::optional<Matrix> MatrixInverse(const Matrix& m, float* determinant = nullptr);

Matrix MatrixScaling(float x, float y, float z);
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
// Rotation about the axis through the origin; the axis is normalised first.
Matrix MatrixRotationAxis(const Vec3& axis, float angle);
Matrix MatrixRotationQuaternion(const Quat& q);
// Roll about z, then pitch about x, then yaw about y.
Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
// Left-handed view matrix: the eye goes to the origin, looking down +z with up towards +y.
Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
// Left-handed projection, depth 0 at zn to 1 at zf; fovy is the full vertical field of view.
Matrix MatrixPerspectiveFovLH(float fovy, float aspect, float zn, float zf);

// ---- Quaternion ----

inline Quat QuaternionIdentity() {
    return Quat{};
}
// The rotation of a pure rotation matrix (the upper 3 x 3 is used).
Quat QuaternionRotationMatrix(const Matrix& m);
// Rotation about the axis; the axis is normalised first.
Quat QuaternionRotationAxis(const Vec3& axis, float angle);
// q / |q|; a zero quaternion gives (0, 0, 0, 0).
Quat QuaternionNormalize(const Quat& q);
// Rotation q1 followed by rotation q2 (q2 * q1 in Hamilton terms), matching MatrixMultiply order.
Quat QuaternionMultiply(const Quat& q1, const Quat& q2);
constexpr float QuaternionDot(const Quat& a, const Quat& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
constexpr Quat QuaternionConjugate(const Quat& q) {
    return {-q.x, -q.y, -q.z, q.w};
}
// Spherical interpolation along the shorter arc; t = 0 gives from, t = 1 gives to (or -to when
// that is the shorter way round).
Quat QuaternionSlerp(const Quat& from, const Quat& to, float t);

}  // namespace gfx

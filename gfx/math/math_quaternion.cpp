// Quaternion construction, composition and interpolation (w last, D3DX composition order).

#include <cmath>

#include "gfx/math/math.h"

namespace gfx {

Quat QuaternionRotationMatrix(const Matrix& matrix) {
    const auto& m = matrix.m;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    Quat q;
    // Take the square root of the largest of the four candidate terms (4w^2, 4x^2, 4y^2, 4z^2)
    // so that the divisor for the other three components stays well away from zero.
    if (trace > 0.0f) {
        const float root = std::sqrt(trace + 1.0f);  // 2w
        const float k = 0.5f / root;                 // 1 / (4w)
        q.w = 0.5f * root;
        q.x = (m[1][2] - m[2][1]) * k;
        q.y = (m[2][0] - m[0][2]) * k;
        q.z = (m[0][1] - m[1][0]) * k;
    } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
        const float root = std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]);  // 2x
        const float k = 0.5f / root;
        q.x = 0.5f * root;
        q.y = (m[0][1] + m[1][0]) * k;
        q.z = (m[0][2] + m[2][0]) * k;
        q.w = (m[1][2] - m[2][1]) * k;
    } else if (m[1][1] >= m[2][2]) {
        const float root = std::sqrt(1.0f - m[0][0] + m[1][1] - m[2][2]);  // 2y
        const float k = 0.5f / root;
        q.y = 0.5f * root;
        q.x = (m[0][1] + m[1][0]) * k;
        q.z = (m[1][2] + m[2][1]) * k;
        q.w = (m[2][0] - m[0][2]) * k;
    } else {
        const float root = std::sqrt(1.0f - m[0][0] - m[1][1] + m[2][2]);  // 2z
        const float k = 0.5f / root;
        q.z = 0.5f * root;
        q.x = (m[0][2] + m[2][0]) * k;
        q.y = (m[1][2] + m[2][1]) * k;
        q.w = (m[0][1] - m[1][0]) * k;
    }
    return q;
}

Quat QuaternionRotationAxis(const Vec3& axis, float angle) {
    const Vec3 n = Vec3Normalize(axis);
    const float s = std::sin(angle * 0.5f);
    return {n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f)};
}

Quat QuaternionNormalize(const Quat& q) {
    const float length = std::sqrt(QuaternionDot(q, q));
    if (length == 0.0f) return {0, 0, 0, 0};
    const float k = 1.0f / length;
    return {q.x * k, q.y * k, q.z * k, q.w * k};
}

Quat QuaternionMultiply(const Quat& q1, const Quat& q2) {
    // Hamilton product q2 * q1: applying q1 first, as with row-vector matrices.
    const Quat& a = q2;
    const Quat& b = q1;
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat QuaternionSlerp(const Quat& from, const Quat& to, float t) {
    // Below this 1 - cos(angle) the arc is too short for the sine ratio to be accurate, and the
    // straight line differs from it by far less than float precision.
    constexpr float kNearlyParallel = 1e-5f;

    float cos_angle = QuaternionDot(from, to);
    Quat target = to;
    if (cos_angle < 0.0f) {  // q and -q are the same rotation: take the shorter arc
        cos_angle = -cos_angle;
        target = {-to.x, -to.y, -to.z, -to.w};
    }
    float k_from = 1.0f - t;
    float k_to = t;
    if (1.0f - cos_angle > kNearlyParallel) {
        const float angle = std::acos(cos_angle);
        const float inv_sin = 1.0f / std::sin(angle);
        k_from = std::sin((1.0f - t) * angle) * inv_sin;
        k_to = std::sin(t * angle) * inv_sin;
    }
    return {k_from * from.x + k_to * target.x, k_from * from.y + k_to * target.y,
            k_from * from.z + k_to * target.z, k_from * from.w + k_to * target.w};
}

}  // namespace gfx

// Vector helpers and general matrix arithmetic.

#include "gfx/math/math.h"

#include <cmath>

namespace gfx {

float Vec3Length(const Vec3& v) {
    return std::sqrt(Vec3LengthSq(v));
}

Vec3 Vec3Normalize(const Vec3& v) {
    const float length_sq = Vec3LengthSq(v);
    if (length_sq <= 1e-10f) return {};
    return v * (1.0f / std::sqrt(length_sq));
}

Vec4 Vec3Transform(const Vec3& v, const Matrix& m) {
    const auto& a = m.m;
    return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0] + a[3][0],
            v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1] + a[3][1],
            v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2] + a[3][2],
            v.x * a[0][3] + v.y * a[1][3] + v.z * a[2][3] + a[3][3]};
}

Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m) {
    const Vec4 h = Vec3Transform(v, m);
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m) {
    const auto& a = m.m;
    return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0],
            v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1],
            v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2]};
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                          a.m[r][3] * b.m[3][c];
        }
    }
    return out;
}

Matrix MatrixTranspose(const Matrix& m) {
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out.m[r][c] = m.m[c][r];
    }
    return out;
}

namespace {

// The 2 x 2 minors of the top two rows (s) and the bottom two rows (c); the determinant and
// every cofactor are built from these (Laplace expansion along the row pairs).
struct PairMinors {
    float s[6];
    float c[6];
};

PairMinors ComputePairMinors(const Matrix& m) {
    const auto& a = m.m;
    PairMinors p;
    p.s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    p.s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    p.s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    p.s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    p.s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    p.s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    p.c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    p.c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    p.c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    p.c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    p.c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    p.c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    return p;
}

float DeterminantFromMinors(const PairMinors& p) {
    const float* s = p.s;
    const float* c = p.c;
    return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
}

}  // namespace

float MatrixDeterminant(const Matrix& m) {
    return DeterminantFromMinors(ComputePairMinors(m));
}

std::optional<Matrix> MatrixInverse(const Matrix& m, float* determinant) {
    const PairMinors p = ComputePairMinors(m);
    const float det = DeterminantFromMinors(p);
    if (determinant) *determinant = det;
    if (det == 0.0f) return std::nullopt;

    const auto& a = m.m;
    const float* s = p.s;
    const float* c = p.c;
    // The adjugate (transposed cofactors) divided by the determinant.
    const float adj[4][4] = {
        {a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3],
         -a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3],
         a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3],
         -a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]},
        {-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1],
         a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1],
         -a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1],
         a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]},
        {a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0],
         -a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0],
         a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0],
         -a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]},
        {-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0],
         a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0],
         -a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0],
         a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]},
    };
    const float inv_det = 1.0f / det;
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int col = 0; col < 4; ++col) out.m[r][col] = adj[r][col] * inv_det;
    }
    return out;
}

}  // namespace gfx

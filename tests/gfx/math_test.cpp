#include "gfx/math/math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace gfx {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTol = 1e-5f;

void ExpectMatrixNear(const Matrix& a, const Matrix& b, float tol = kTol) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tol) << r << "," << c;
    }
}

void ExpectVecNear(const Vec3& a, const Vec3& b, float tol = kTol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// q and -q are the same rotation.
void ExpectSameRotation(const Quat& a, const Quat& b, float tol = kTol) {
    EXPECT_NEAR(std::fabs(QuaternionDot(a, b)), 1.0f, tol)
        << a.x << " " << a.y << " " << a.z << " " << a.w;
}

TEST(MathVec3, BasicsAndTransforms) {
    EXPECT_EQ(Vec3Cross({1, 0, 0}, {0, 1, 0}), (Vec3{0, 0, 1}));
    EXPECT_FLOAT_EQ(Vec3Length({3, 4, 12}), 13.0f);
    EXPECT_EQ(Vec3Lerp({0, 2, 4}, {4, 6, 8}, 0.25f), (Vec3{1, 3, 5}));
    EXPECT_EQ(-(Vec3{1, 2, 3}) + 2.0f * (Vec3{1, 1, 1}), (Vec3{1, 0, -1}));

    // A w column that depends on z, as in a projection: (2, 4, 2) gets w = 2 + 2 = 4.
    Matrix m = MatrixTranslation(10, 20, 30);
    m.m[2][3] = 1;
    m.m[3][3] = 2;
    EXPECT_EQ(Vec3Transform({2, 4, 2}, m), (Vec4{12, 24, 32, 4}));
    ExpectVecNear(Vec3TransformCoord({2, 4, 2}, m), {3, 6, 8});
    EXPECT_EQ(Vec3TransformNormal({2, 4, 2}, m), (Vec3{2, 4, 2}));  // translation ignored
}

TEST(MathVec3, NormalizeThresholdIsSquaredLength1e10) {
    // Components chosen so that x*x + y*y rounds to exactly 1e-10f: the boundary itself is zero.
    const Vec3 at_threshold{0x1.92a742p-18f, 0x1.0c6f76p-17f, 0};
    ASSERT_EQ(Vec3LengthSq(at_threshold), 1e-10f);
    EXPECT_EQ(Vec3Normalize(at_threshold), (Vec3{0, 0, 0}));

    const Vec3 above{at_threshold.x, std::nextafter(at_threshold.y, 1.0f), 0};
    ASSERT_GT(Vec3LengthSq(above), 1e-10f);
    EXPECT_NEAR(Vec3Length(Vec3Normalize(above)), 1.0f, kTol);
    ExpectVecNear(Vec3Normalize(above), {0.6f, 0.8f, 0});

    EXPECT_EQ(Vec3Normalize({0, 0, 0}), (Vec3{0, 0, 0}));
    ExpectVecNear(Vec3Normalize({0, 3, -4}), {0, 0.6f, -0.8f});
}

TEST(MathMatrix, MultiplyAppliesLeftOperandFirst) {
    // Scale then translate: the translation is not scaled.
    const Matrix st = MatrixMultiply(MatrixScaling(2, 2, 2), MatrixTranslation(1, 0, 0));
    ExpectVecNear(Vec3TransformCoord({1, 1, 1}, st), {3, 2, 2});
    // Rz(90) maps x to y, Rx(90) maps y to z.
    const Matrix zx = MatrixMultiply(MatrixRotationZ(kPi / 2), MatrixRotationX(kPi / 2));
    ExpectVecNear(Vec3TransformNormal({1, 0, 0}, zx), {0, 0, 1});
    EXPECT_EQ(MatrixTranspose(MatrixTranslation(1, 2, 3)).m[2][3], 3.0f);
}

TEST(MathMatrix, DeterminantAndInverse) {
    // Upper triangular with a non-affine last column: determinant is the diagonal product.
    const Matrix tri{{{2, 1, 3, 4}, {0, 3, 5, 6}, {0, 0, 4, 7}, {0, 0, 0, 5}}};
    EXPECT_FLOAT_EQ(MatrixDeterminant(tri), 120.0f);

    const Matrix perspective = MatrixPerspectiveFovLH(kPi / 3, 1.5f, 1, 100);
    const Matrix pose =
        MatrixMultiply(MatrixRotationAxis({1, 2, 3}, 0.7f), MatrixTranslation(4, -5, 6));
    for (const Matrix& m : {tri, perspective, pose, MatrixScaling(2, 0.5f, 4)}) {
        float det = 0;
        const auto inverse = MatrixInverse(m, &det);
        ASSERT_TRUE(inverse.has_value());
        EXPECT_NEAR(det, MatrixDeterminant(m), 1e-4f * std::fabs(det));
        ExpectMatrixNear(MatrixMultiply(m, *inverse), Matrix{}, 1e-4f);
        ExpectMatrixNear(MatrixMultiply(*inverse, m), Matrix{}, 1e-4f);
    }
    // Inverse of a translation is the opposite translation; of a scaling, the reciprocals.
    ExpectMatrixNear(*MatrixInverse(MatrixTranslation(1, 2, 3)), MatrixTranslation(-1, -2, -3));
    ExpectMatrixNear(*MatrixInverse(MatrixScaling(2, 4, 8)), MatrixScaling(0.5f, 0.25f, 0.125f));

    Matrix singular = tri;
    for (int c = 0; c < 4; ++c) singular.m[3][c] = singular.m[0][c] + singular.m[1][c];
    float det = 1;
    EXPECT_FALSE(MatrixInverse(singular, &det).has_value());
    EXPECT_EQ(det, 0.0f);
    EXPECT_FALSE(MatrixInverse(MatrixScaling(1, 0, 1)).has_value());
}

TEST(MathMatrix, AxisRotationsAgree) {
    for (float a : {0.3f, -1.2f, kPi}) {
        ExpectMatrixNear(MatrixRotationAxis({2, 0, 0}, a), MatrixRotationX(a));
        ExpectMatrixNear(MatrixRotationAxis({0, 0.5f, 0}, a), MatrixRotationY(a));
        ExpectMatrixNear(MatrixRotationAxis({0, 0, 3}, a), MatrixRotationZ(a));
    }
    // Left-handed: +90 degrees about y maps z to x, about x maps y to z.
    ExpectVecNear(Vec3TransformNormal({0, 0, 1}, MatrixRotationY(kPi / 2)), {1, 0, 0});
    ExpectVecNear(Vec3TransformNormal({0, 1, 0}, MatrixRotationX(kPi / 2)), {0, 0, 1});
    // 120 degrees about (1,1,1) cycles the axes x -> y -> z.
    ExpectVecNear(Vec3TransformNormal({1, 0, 0}, MatrixRotationAxis({1, 1, 1}, 2 * kPi / 3)),
                  {0, 1, 0});

    const float yaw = 0.4f, pitch = -0.9f, roll = 1.3f;
    const Matrix expected = MatrixMultiply(
        MatrixMultiply(MatrixRotationZ(roll), MatrixRotationX(pitch)), MatrixRotationY(yaw));
    ExpectMatrixNear(MatrixRotationYawPitchRoll(yaw, pitch, roll), expected);
}

TEST(MathMatrix, LookAtLH) {
    // From +x looking at the origin with y up: the camera's right is world +z.
    const Matrix view = MatrixLookAtLH({3, 0, 0}, {0, 0, 0}, {0, 1, 0});
    ExpectMatrixNear(view, Matrix{{{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 3, 1}}});
    ExpectVecNear(Vec3TransformCoord({0, 0, 1}, view), {1, 0, 3});

    // General case: the eye goes to the origin, the target onto +z at its distance.
    const Vec3 eye{1, 2, -5}, at{-2, 4, 1};
    const Matrix general = MatrixLookAtLH(eye, at, {0, 1, 0});
    ExpectVecNear(Vec3TransformCoord(eye, general), {0, 0, 0});
    ExpectVecNear(Vec3TransformCoord(at, general), {0, 0, Vec3Length(at - eye)}, 1e-4f);
    EXPECT_NEAR(MatrixDeterminant(general), 1.0f, kTol);  // rigid, no reflection
}

TEST(MathMatrix, PerspectiveFovLH) {
    const float zn = 0.1f, zf = 10000.0f;
    const Matrix p = MatrixPerspectiveFovLH(kPi / 4, 640.0f / 480.0f, zn, zf);
    const float y_scale = 1.0f + std::sqrt(2.0f);  // cot(pi / 8)
    EXPECT_NEAR(p.m[1][1], y_scale, kTol);
    EXPECT_NEAR(p.m[0][0], y_scale * 0.75f, kTol);
    EXPECT_NEAR(p.m[2][2], 10000.0 / 9999.9, kTol);
    EXPECT_NEAR(p.m[3][2], -1000.0 / 9999.9, kTol);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    EXPECT_EQ(p.m[0][1], 0.0f);
    // Depth runs 0 at the near plane to 1 at the far plane; the top edge of the view maps to y 1.
    EXPECT_NEAR(Vec3TransformCoord({0, 0, zn}, p).z, 0.0f, kTol);
    EXPECT_NEAR(Vec3TransformCoord({0, 0, zf}, p).z, 1.0f, kTol);
    EXPECT_NEAR(Vec3TransformCoord({0, 2 * std::tan(kPi / 8), 2}, p).y, 1.0f, kTol);
}

TEST(MathQuaternion, MatrixRoundTripsCoverEveryExtractionBranch) {
    const Vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {-1, 2, 3}, {0.2f, -1, 5}};
    // 180 degrees about x, y, z leaves trace -1 with m00, m11 or m22 largest in turn.
    const float angles[] = {0, 0.5f, -1.5f, 2.5f, kPi, -kPi, 3 * kPi / 2};
    for (const Vec3& axis : axes) {
        for (float angle : angles) {
            const Quat q = QuaternionRotationAxis(axis, angle);
            const Matrix m = MatrixRotationAxis(axis, angle);
            ExpectMatrixNear(MatrixRotationQuaternion(q), m);
            const Quat back = QuaternionRotationMatrix(m);
            ExpectSameRotation(back, q);
            EXPECT_NEAR(QuaternionDot(back, back), 1.0f, kTol);
            ExpectMatrixNear(MatrixRotationQuaternion(back), m);
        }
    }
    // Half turn about x: (1, 0, 0, 0) up to sign.
    ExpectSameRotation(QuaternionRotationMatrix(MatrixRotationX(kPi)), {1, 0, 0, 0});
}

TEST(MathQuaternion, MultiplyComposesLikeMatrices) {
    const Quat a = QuaternionRotationAxis({1, 2, 0}, 0.8f);
    const Quat b = QuaternionRotationAxis({0, -1, 3}, 2.1f);
    ExpectMatrixNear(MatrixRotationQuaternion(QuaternionMultiply(a, b)),
                     MatrixMultiply(MatrixRotationQuaternion(a), MatrixRotationQuaternion(b)));
    ExpectMatrixNear(MatrixRotationQuaternion(QuaternionMultiply(b, a)),
                     MatrixMultiply(MatrixRotationQuaternion(b), MatrixRotationQuaternion(a)));
    const Quat undone = QuaternionMultiply(a, QuaternionConjugate(a));
    ExpectSameRotation(undone, QuaternionIdentity());

    const Quat n = QuaternionNormalize({0, 3, 0, 4});
    EXPECT_EQ(n, (Quat{0, 0.6f, 0, 0.8f}));
}

TEST(MathQuaternion, Slerp) {
    const Quat from = QuaternionRotationAxis({0, 0, 1}, 0.0f);
    const Quat to = QuaternionRotationAxis({0, 0, 1}, kPi / 2);
    ExpectSameRotation(QuaternionSlerp(from, to, 0), from);
    ExpectSameRotation(QuaternionSlerp(from, to, 1), to);
    const Quat half = QuaternionRotationAxis({0, 0, 1}, kPi / 4);
    const Quat mid = QuaternionSlerp(from, to, 0.5f);
    EXPECT_NEAR(mid.z, half.z, kTol);
    EXPECT_NEAR(mid.w, half.w, kTol);

    // -to is the same rotation; the path must still be the short 45-degree one, not 135.
    const Quat negated{-to.x, -to.y, -to.z, -to.w};
    const Quat short_mid = QuaternionSlerp(from, negated, 0.5f);
    EXPECT_NEAR(short_mid.z, half.z, kTol);
    EXPECT_NEAR(short_mid.w, half.w, kTol);

    // Identical and nearly identical inputs must not divide by sin(0).
    const Quat nearly = QuaternionRotationAxis({0, 1, 0}, 1e-4f);
    for (const Quat& q : {from, nearly}) {
        const Quat r = QuaternionSlerp(from, q, 0.3f);
        ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.w));
        ExpectSameRotation(r, from);
    }
    EXPECT_NEAR(QuaternionSlerp(from, nearly, 0.5f).y, std::sin(0.25e-4f), 1e-7f);
}

}  // namespace
}  // namespace gfx

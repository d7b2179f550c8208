#include "scene/face_facing.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "scene/mesh_outline.h"

namespace scene {
namespace {

// gfx::Vec3TransformCoord written out, term for term in the same order, so that both paths
// below give every projected vertex the same float value.
inline gfx::Vec3 Project(const gfx::Matrix& toScreen, float x, float y, float z) {
    const auto& a = toScreen.m;
    const float hx = x * a[0][0] + y * a[1][0] + z * a[2][0] + a[3][0];
    const float hy = x * a[0][1] + y * a[1][1] + z * a[2][1] + a[3][1];
    const float hz = x * a[0][2] + y * a[1][2] + z * a[2][2] + a[3][2];
    const float hw = x * a[0][3] + y * a[1][3] + z * a[2][3] + a[3][3];
    return {hx / hw, hy / hw, hz / hw};
}

// A face runs clockwise on screen (the visible winding) when this is negative; the projected
// y axis points up.
inline bool Clockwise(const gfx::Vec3& a, const gfx::Vec3& b, const gfx::Vec3& c) {
    return (c.y - a.y) * (b.x - a.x) - (b.y - a.y) * (c.x - a.x) < 0;
}

inline bool NamesOnlyVertices(const std::uint16_t* corner, std::size_t vertexCount) {
    return corner[0] < vertexCount && corner[1] < vertexCount && corner[2] < vertexCount;
}

bool Sized(const OutlineData& data, const FacingTarget& target) {
    const std::size_t faces = target.front.size();
    const std::size_t vertices = target.projected.size();
    return target.indices.size() >= faces * 3 && data.x.size() == vertices &&
           data.y.size() == vertices && data.z.size() == vertices;
}

// One face by projection, for the faces the plane test leaves open.
std::uint8_t FacingByProjection(const gfx::Matrix& toScreen, const OutlineData& data,
                                const std::uint16_t* corner) {
    if (!NamesOnlyVertices(corner, data.x.size())) return 0;
    gfx::Vec3 p[3];
    for (int k = 0; k < 3; ++k) {
        const std::uint16_t v = corner[k];
        p[k] = Project(toScreen, data.x[v], data.y[v], data.z[v]);
    }
    return Clockwise(p[0], p[1], p[2]) ? 1 : 0;
}

double Det3(const double (&r0)[3], const double (&r1)[3], const double (&r2)[3]) {
    return r0[0] * (r1[1] * r2[2] - r1[2] * r2[1]) - r0[1] * (r1[0] * r2[2] - r1[2] * r2[0]) +
           r0[2] * (r1[0] * r2[1] - r1[1] * r2[0]);
}

double Norm(double x, double y, double z) {
    return std::sqrt(x * x + y * y + z * z);
}

// What the plane test needs for one matrix: the eye in mesh space, the sign that turns "the
// eye on the normal's side" into "clockwise on screen", and the margin within which a face is
// projected instead. Null `usable` when the mesh is not safely in front of the camera.
struct PlaneTest {
    bool usable = false;
    float eyeX = 0, eyeY = 0, eyeZ = 0;  // relative to the data's centre
    float sign = 1;
    float margin = 0;
};

PlaneTest PlaneTestFor(const gfx::Matrix& toScreen, const OutlineData& data) {
    PlaneTest test;
    const auto& a = toScreen.m;
    // Clip x, y and w as columns of a 4 x 3 matrix; the screen winding of three points is the
    // sign of the determinant of their (x, y, w) rows over w0 w1 w2, and that determinant is,
    // by Cauchy-Binet, the 4 x 4 determinant of the points as rows with E, the homogeneous
    // point every column maps to zero (the eye), as the last row. For points (p, 1) that is
    // -w_E (n . (eye - p)) with n the face's normal: so with every w positive a face is
    // clockwise exactly when w_E (n . (eye - p)) > 0.
    double rows[4][3];
    for (int i = 0; i < 4; ++i) rows[i][0] = a[i][0], rows[i][1] = a[i][1], rows[i][2] = a[i][3];
    double eye[4];
    for (int j = 0; j < 4; ++j) {
        const int r[3] = {j == 0 ? 1 : 0, j <= 1 ? 2 : 1, j <= 2 ? 3 : 2};
        const double minor = Det3(rows[r[0]], rows[r[1]], rows[r[2]]);
        eye[j] = (j % 2 == 0 ? -1.0 : 1.0) * minor;
    }
    if (!std::isfinite(eye[3]) || eye[3] == 0 || !std::isfinite(data.radius) ||
        !std::isfinite(data.thinnest) || !(data.thinnest > 0)) {
        return test;
    }
    const double qx = eye[0] / eye[3] - data.centre.x;
    const double qy = eye[1] / eye[3] - data.centre.y;
    const double qz = eye[2] / eye[3] - data.centre.z;

    // Clip coordinates over the bounding sphere: w must stay well above zero across it (a mesh
    // reaching towards the eye's plane is projected), and the largest x / w and y / w bound
    // the size of the screen coordinates whose rounding the projected test suffers.
    const gfx::Vec3 c = data.centre;
    const double r = data.radius;
    auto across = [&](int col, double& middle, double& reach) {
        middle = c.x * a[0][col] + c.y * a[1][col] + c.z * a[2][col] + a[3][col];
        reach = r * Norm(a[0][col], a[1][col], a[2][col]);
    };
    double wMiddle, wReach, xMiddle, xReach, yMiddle, yReach;
    across(3, wMiddle, wReach);
    across(0, xMiddle, xReach);
    across(1, yMiddle, yReach);
    const double wLow = wMiddle - wReach, wHigh = wMiddle + wReach;
    if (!(wLow > 0) || !(wLow * 8 >= wHigh)) return test;
    const double screenSize =
        std::max({std::abs(xMiddle) + xReach, std::abs(yMiddle) + yReach, wHigh}) / wLow;

    // A face is settled by its plane when the eye's distance from the plane exceeds `tilt`
    // times the farthest the eye can be from any of its points: its plane is then turned at
    // least that far from the line of sight. The projected test rounds each screen coordinate
    // by about epsilon times the screen size, which moves the winding's sign only for faces
    // turned less than some 8 epsilon * size * distance / height from it; the tilt is 2^6
    // epsilon * the same, eight times that, and never below 2^-12 (the plane test's own
    // rounding is far below that).
    // The planes' 16 bits move the eye's distance by at most 2^-15 of `farthest` (half a unit
    // in the last place of each normal component and of the offset): the margin adds 2^-14.
    const double farthest = Norm(qx, qy, qz) + r;
    const double tilt =
        std::max(std::ldexp(1.0, -12), std::ldexp(screenSize * farthest / data.thinnest, -18)) +
        std::ldexp(1.0, -14);
    if (!std::isfinite(farthest) || tilt >= 1 || !(r > 0)) return test;
    test.usable = true;
    test.eyeX = static_cast<float>(qx);
    test.eyeY = static_cast<float>(qy);
    test.eyeZ = static_cast<float>(qz);
    test.sign = eye[3] > 0 ? 1.0f : -1.0f;
    test.margin = static_cast<float>(tilt * farthest);
    return test;
}

}  // namespace

void MarkFacingFacesByProjection(const gfx::Matrix& toScreen, const OutlineData& data,
                                 const FacingTarget& target) {
    if (!Sized(data, target)) return;
    const float* xs = data.x.data();
    const float* ys = data.y.data();
    const float* zs = data.z.data();
    gfx::Vec3* out = target.projected.data();
    const std::size_t vertexCount = target.projected.size();
    for (std::size_t i = 0; i < vertexCount; ++i) out[i] = Project(toScreen, xs[i], ys[i], zs[i]);

    const std::uint16_t* indices = target.indices.data();
    const std::size_t faceCount = target.front.size();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices + f * 3;
        target.front[f] = NamesOnlyVertices(corner, vertexCount) &&
                                  Clockwise(out[corner[0]], out[corner[1]], out[corner[2]])
                              ? 1
                              : 0;
    }
}

void MarkFacingFaces(const gfx::Matrix& toScreen, const OutlineData& data,
                     const FacingTarget& target) {
    if (!Sized(data, target)) return;
    const std::size_t faceCount = target.front.size();
    const PlaneTest test = PlaneTestFor(toScreen, data);
    if (!test.usable || data.planeX.size() != faceCount || data.planeY.size() != faceCount ||
        data.planeZ.size() != faceCount || data.planeD.size() != faceCount) {
        MarkFacingFacesByProjection(toScreen, data, target);
        return;
    }

    // 1 or 0 where the plane decides; 2 where it leaves the face open (always for faces with
    // no plane, whose four numbers are zero).
    const std::int16_t* nx = data.planeX.data();
    const std::int16_t* ny = data.planeY.data();
    const std::int16_t* nz = data.planeZ.data();
    const std::int16_t* nd = data.planeD.data();
    std::uint8_t* front = target.front.data();
    // The fixed-point scales folded into the eye and the offset's factor.
    const float unit = test.sign / OutlineData::kPlaneUnit;
    const float ex = test.eyeX * unit, ey = test.eyeY * unit, ez = test.eyeZ * unit;
    const float dd = data.radius * unit;
    const float margin = test.margin;
    for (std::size_t f = 0; f < faceCount; ++f) {
        const float distance = static_cast<float>(nx[f]) * ex + static_cast<float>(ny[f]) * ey +
                               static_cast<float>(nz[f]) * ez - static_cast<float>(nd[f]) * dd;
        const bool open = !(std::abs(distance) > margin);
        front[f] = static_cast<std::uint8_t>((distance > margin ? 1 : 0) | (open ? 2 : 0));
    }
    // The open faces are few: they are found eight marks at a time (a mark of 2 is the only one
    // with that bit set), rather than by a test and a branch for every face.
    const std::uint16_t* indices = target.indices.data();
    std::size_t f = 0;
    for (; f + 8 <= faceCount; f += 8) {
        std::uint64_t marks;
        std::memcpy(&marks, front + f, sizeof marks);
        for (std::uint64_t open = marks & 0x0202020202020202u; open != 0; open &= open - 1) {
            const std::size_t face = f + static_cast<std::size_t>(std::countr_zero(open)) / 8;
            front[face] = FacingByProjection(toScreen, data, indices + face * 3);
        }
    }
    for (; f < faceCount; ++f) {
        if (front[f] == 2) front[f] = FacingByProjection(toScreen, data, indices + f * 3);
    }
}

}  // namespace scene

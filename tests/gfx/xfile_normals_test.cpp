// Normals made for meshes whose file gives none.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/gfx/xfile_test_util.h"

namespace gfx {
namespace {

using namespace xtest;

TEST(XFileNormals, AreaWeightedAndSmoothAcrossVerticesThatShareAPosition) {
    // Face 0 (area 2) faces -z; face 1 (area 0.5) faces -x. They meet at the origin through two
    // vertices of their own (0 and 3), which share one normal weighted by the faces' areas.
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Mesh Corner { 6; 0;0;0;, 0;2;0;, 2;0;0;, 0;0;0;, 0;0;1;, 0;1;0;;\n"
        "  2; 3;0,1,2;, 3;3,4,5;; }\n");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal);
    const float k = 1 / std::sqrt(17.0f);
    const Vec3 corner{-k, 0, -4 * k}, minusZ{0, 0, -1}, minusX{-1, 0, 0};
    ExpectNormals(x.mesh, {corner, minusZ, minusZ, corner, minusX, minusX});
}

TEST(XFileNormals, OppositeFacesAtOnePositionKeepTheirOwnSides) {
    // Both sides of a sheet, each side with vertices of its own at the same positions.
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Mesh Sheet { 6; 0;0;0;, 0;1;0;, 1;0;0;, 0;0;0;, 0;1;0;, 1;0;0;;\n"
        "  2; 3;0,1,2;, 3;3,5,4;; }\n");
    const LoadedMesh& x = Ok(loaded);
    const Vec3 front{0, 0, -1}, back{0, 0, 1};
    ExpectNormals(x.mesh, {front, front, front, back, back, back});
}

TEST(XFileNormals, MadeAfterTheFrameTransformSoTheyStayPerpendicular) {
    // Scaled by 2 along x, the face x + y + z = 1 becomes x / 2 + y + z = 1: normal (1, 2, 2) / 3.
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Frame F { FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
        "  Mesh Slant { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;; } }\n");
    const LoadedMesh& x = Ok(loaded);
    const Vec3 n{1.0f / 3, 2.0f / 3, 2.0f / 3};
    ExpectNormals(x.mesh, {n, n, n});
}

}  // namespace
}  // namespace gfx

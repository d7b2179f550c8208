// The facing test the outline runs every frame: the plane test must mark exactly the faces the
// projected winding marks, for any view, world matrix and mesh; and the silhouette drawn from
// those marks.

#include "scene/face_facing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gfx/math/math.h"
#include "gfx/mesh/mesh.h"
#include "scene/mesh_outline.h"
#include "scene/silhouette_edges.h"

namespace scene {
namespace {

// A bumpy 60 x 60 grid of 0.01-unit cells, then faces of every awkward kind: a sliver, a tiny
// triangle far from the rest, one with two equal corners and one naming a missing vertex.
gfx::Mesh AwkwardMesh() {
    constexpr int kSide = 60, kRow = kSide + 1;
    const std::uint32_t gridVertices = kRow * kRow, gridFaces = kSide * kSide * 2;
    gfx::Mesh mesh(gridFaces + 4, gridVertices + 6, gfx::kFvfXyz | gfx::kFvfNormal);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> bump(0.0f, 0.03f);
    for (int r = 0; r < kRow; ++r) {
        for (int c = 0; c < kRow; ++c) {
            mesh.SetPosition(r * kRow + c, {float(c) * 0.01f, bump(random), float(r) * 0.01f});
        }
    }
    const gfx::Vec3 extra[6] = {{0, 0.5f, 0},       {0.6f, 0.5f, 0},      {0.3f, 0.5f, 1e-6f},
                                {0.9f, 0.1f, 0.9f}, {0.901f, 0.1f, 0.9f}, {0.9f, 0.1f, 0.901f}};
    for (std::uint32_t i = 0; i < 6; ++i) mesh.SetPosition(gridVertices + i, extra[i]);
    std::span<std::uint16_t> index = mesh.Indices();
    std::size_t at = 0;
    auto face = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        index[at++] = static_cast<std::uint16_t>(a);
        index[at++] = static_cast<std::uint16_t>(b);
        index[at++] = static_cast<std::uint16_t>(c);
    };
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            const std::uint32_t a = r * kRow + c, b = a + kRow;
            face(a, b, b + 1);
            face(a, b + 1, a + 1);
        }
    }
    face(gridVertices, gridVertices + 1, gridVertices + 2);      // sliver
    face(gridVertices + 3, gridVertices + 4, gridVertices + 5);  // tiny
    face(0, 0, 1);
    face(0, 1, gridVertices + 6);  // a vertex past the end
    return mesh;
}

struct View {
    const char* what;
    gfx::Vec3 eye;
    gfx::Matrix world;
    bool orthographic = false;
};

gfx::Matrix ToScreen(const View& view) {
    const gfx::Matrix look = gfx::MatrixLookAtLH(view.eye, {0.3f, 0, 0.3f}, {0, 1, 0});
    gfx::Matrix projection = gfx::MatrixPerspectiveFovLH(0.785f, 4.0f / 3.0f, 0.1f, 100.0f);
    if (view.orthographic) {
        projection = gfx::MatrixIdentity();
        projection.m[0][0] = projection.m[1][1] = 1.5f;
        projection.m[2][2] = 0.01f;
    }
    return gfx::MatrixMultiply(gfx::MatrixMultiply(view.world, look), projection);
}

std::vector<std::uint8_t> Marks(const gfx::Mesh& mesh, const OutlineData& data,
                                const gfx::Matrix& toScreen, bool byProjection,
                                std::vector<gfx::Vec3>* projected = nullptr) {
    std::vector<std::uint8_t> front(mesh.NumFaces(), 9);
    std::vector<gfx::Vec3> scratch(mesh.NumVertices(), gfx::Vec3{-7, -7, -7});
    const FacingTarget target{mesh.Indices(), front, scratch};
    if (byProjection) {
        MarkFacingFacesByProjection(toScreen, data, target);
    } else {
        MarkFacingFaces(toScreen, data, target);
    }
    if (projected) *projected = scratch;
    return front;
}

TEST(FaceFacingTest, PlaneTestMarksWhatTheProjectedWindingMarks) {
    const gfx::Mesh mesh = AwkwardMesh();
    const auto data = MakeOutlineData(mesh);
    const gfx::Matrix turned =
        gfx::MatrixMultiply(gfx::MatrixRotationYawPitchRoll(0.7f, 0.3f, 0.1f),
                            gfx::MatrixTranslation(0.2f, -0.1f, 0.4f));
    gfx::Matrix mirrored = gfx::MatrixIdentity();
    mirrored.m[0][0] = -1.0f;
    mirrored.m[1][1] = 3.0f;
    const gfx::Matrix id = gfx::MatrixIdentity();
    const View fixed[] = {
        {"above", {0.3f, 2.0f, 0.3f}, id},
        {"grazing the grid", {-3.0f, 0.02f, 0.3f}, id},
        {"far away", {40.0f, 30.0f, -50.0f}, id},
        {"turned and moved", {1.0f, 1.5f, -2.0f}, turned},
        {"mirrored and stretched", {1.0f, 1.5f, -2.0f}, mirrored},
        {"eye inside the mesh's sphere", {0.3f, 0.05f, 0.3f}, id},
        {"mesh partly behind the eye", {0.3f, 0.2f, 0.0f}, id},
        {"orthographic", {0.3f, 2.0f, -1.0f}, id, true},
    };
    std::vector<View> views(std::begin(fixed), std::end(fixed));
    // And an orbit at many heights and distances, as a camera drag turns the view.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> angle(0.0f, 6.283f), height(-2.0f, 3.0f),
        distance(0.5f, 30.0f);
    for (int i = 0; i < 300; ++i) {
        const float a = angle(random), d = distance(random);
        views.push_back({"orbit",
                         {0.3f + d * std::cos(a), height(random), 0.3f + d * std::sin(a)},
                         i % 2 ? turned : id});
    }
    for (const View& view : views) {
        const gfx::Matrix toScreen = ToScreen(view);
        EXPECT_EQ(Marks(mesh, *data, toScreen, false), Marks(mesh, *data, toScreen, true))
            << view.what << " from " << view.eye.x << ", " << view.eye.y << ", " << view.eye.z;
    }
}

// The silhouette by its rule, face by face and edge by edge: a front face's edge whose face
// across is no front face (or is none).
std::vector<std::uint16_t> SilhouetteByRule(const gfx::Mesh& mesh, const OutlineData& data,
                                            const std::vector<std::uint8_t>& front) {
    std::vector<std::uint16_t> ends;
    const std::span<const std::uint16_t> index = mesh.Indices();
    for (std::size_t f = 0; f < front.size(); ++f) {
        for (std::size_t k = 0; front[f] != 0 && k < 3; ++k) {
            const std::uint32_t across = data.neighbours16.empty() ? data.neighbours[f * 3 + k]
                                                                   : data.neighbours16[f * 3 + k];
            if (across != kNoFace && across != 0xFFFF && front[across] != 0) continue;
            ends.push_back(index[f * 3 + k]);
            ends.push_back(index[f * 3 + (k + 1) % 3]);
        }
    }
    return ends;
}

TEST(FaceFacingTest, SilhouetteHoldsTheFrontFacesEdgesAcrossFromBackFacesInFaceOrder) {
    const gfx::Mesh mesh = AwkwardMesh();
    const auto data = MakeOutlineData(mesh);
    ASSERT_FALSE(data->neighbours16.empty());  // the packed neighbours the frame reads
    std::vector<std::uint16_t> ends(std::size_t{mesh.NumFaces()} * 6);
    // From below, where the grid's faces turn to the eye but for the sides of its bumps.
    for (const gfx::Vec3 eye : {gfx::Vec3{0.5f, -2.0f, 0.1f}, gfx::Vec3{-3.0f, -0.02f, 0.3f},
                                gfx::Vec3{1.0f, -0.3f, -2.0f}}) {
        const std::vector<std::uint8_t> front =
            Marks(mesh, *data, ToScreen({"", eye, gfx::MatrixIdentity()}), false);
        const std::vector<std::uint16_t> expected = SilhouetteByRule(mesh, *data, front);
        ASSERT_FALSE(expected.empty()) << eye.x << ", " << eye.y << ", " << eye.z;
        const std::size_t lines = CollectSilhouetteEdges(front, *data, mesh.Indices(), ends.data());
        EXPECT_EQ(std::vector<std::uint16_t>(ends.begin(), ends.begin() + lines * 2), expected)
            << eye.x << ", " << eye.y << ", " << eye.z;
    }
}

TEST(FaceFacingTest, ATypicalViewProjectsFewVertices) {
    const gfx::Mesh mesh = AwkwardMesh();
    const auto data = MakeOutlineData(mesh);
    std::vector<gfx::Vec3> projected;
    Marks(mesh, *data, ToScreen({"above", {2.0f, 3.0f, -2.0f}, gfx::MatrixIdentity()}), false,
          &projected);
    // Only projecting the whole mesh fills the scratch space.
    std::size_t untouched = 0;
    for (const gfx::Vec3& p : projected) untouched += p.x == -7 && p.y == -7 ? 1 : 0;
    EXPECT_EQ(untouched, projected.size());
}

}  // namespace
}  // namespace scene

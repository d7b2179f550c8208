// Mesh drawing through the headless device, checked pixel by pixel: material subsets, textures,
// the silhouette outline and the device state it borrows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"
#include "scene/mesh_object.h"
#include "scene/transform_node.h"
#include "tests/framework/headless_device.h"

namespace scene {
namespace {

using framework::RenderState;
using framework::TransformState;
using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::ScreenPoint;
using Pixels = std::vector<std::uint32_t>;

constexpr gfx::Colour kBackground = 0xFF18415A;
constexpr gfx::Colour kOutline = 0xFFFFFF00;
constexpr gfx::Colour kCubeColour = 0xFF336699;  // closed_cube.x: emissive (0.2, 0.4, 0.6)
// lit_square.x: diffuse (0.8, 0.2, 0.4) under a white light along the normal, plus its ambient
// (0.4 times the diffuse colour) under the scene's ambient light 0x80: 1.2 times the diffuse.
constexpr gfx::Colour kSquareColour = 0xFFF53D7A;
const gfx::Matrix kIdentity = gfx::MatrixIdentity();

// Channels within `tolerance` of each other (lighting rounds to one of 256 levels).
bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance = 2) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) -
                     static_cast<int>((expected >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

// Whether a pixel of exactly `colour` lies in the square of `radius` pixels about the point.
bool ColourAround(const Pixels& pixels, ScreenPoint p, gfx::Colour colour, int radius) {
    for (int y = std::max(0, p.Row() - radius); y <= std::min(479, p.Row() + radius); ++y) {
        for (int x = std::max(0, p.Column() - radius); x <= std::min(639, p.Column() + radius);
             ++x) {
            if (PixelAt(pixels, x, y) == colour) return true;
        }
    }
    return false;
}

long CountColour(const Pixels& pixels, gfx::Colour colour) {
    return std::count(pixels.begin(), pixels.end(), colour);
}

class MeshDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless_.created);
        // Texture names are looked up against the current directory.
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(std::string(POSEWRIGHTER_TEST_DATA) + "/mesh_draw");
        cache_.SetUploader(&device());
        // Straight into the screen: a face turned to a camera on -z gets its full diffuse colour.
        SetDirectionalLight(device(), {0, 0, 1}, 1, 1, 1, 1);
    }
    void TearDown() override { std::filesystem::current_path(saved_); }

    framework::GraphicsDevice& device() { return headless_.device; }
    bool Load(MeshObject& mesh, const std::string& file, bool outline = true) {
        return mesh.LoadFromFile(cache_, file, 0, outline, 1).ok();
    }
    // One frame with the mesh drawn at `world`, seen from `eye`.
    Pixels Frame(MeshObject& mesh, gfx::Vec3 eye, const gfx::Matrix& world, bool outline,
                 gfx::Vec3 target = {0, 0, 0}) {
        device().SetTransform(framework::TransformState::kView,
                              gfx::MatrixLookAtLH(eye, target, {0, 1, 0}));
        device().BeginFrame(kBackground);
        mesh.Draw(device(), world, outline, kOutline);
        return device().ReadPixels();
    }
    ScreenPoint Screen(gfx::Vec3 p) {
        return framework::testing_support::Project(
            p, device().GetTransform(framework::TransformState::kView),
            device().GetTransform(framework::TransformState::kProjection));
    }
    std::uint32_t PixelOf(const Pixels& pixels, gfx::Vec3 p) {
        const ScreenPoint s = Screen(p);
        return PixelAt(pixels, s.Column(), s.Row());
    }

    // Declared first: the meshes (locals of the tests) and the cache go before the device.
    HeadlessDevice headless_;
    framework::TextureCache cache_;

  private:
    std::filesystem::path saved_;
};

// ---- Subsets, materials and textures ----

TEST_F(MeshDrawTest, LitMeshShowsItsMaterialColourWhereTheWorldMatrixPutsIt) {
    MeshObject square;
    ASSERT_TRUE(Load(square, "lit_square.x"));
    const gfx::Matrix world = gfx::MatrixTranslation(2, 0.5f, 0);  // x 1 .. 3, y -0.5 .. 1.5
    const Pixels pixels = Frame(square, {0, 0, -5}, world, false);
    // Full diffuse under a white light along the normal, with the ambient added.
    EXPECT_TRUE(Near(PixelOf(pixels, {2, 0.5f, 0}), kSquareColour));
    EXPECT_TRUE(Near(PixelOf(pixels, {1.2f, 1.3f, 0}), kSquareColour));
    EXPECT_EQ(PixelOf(pixels, {0.5f, 0, 0}), kBackground);  // inside the square left in place
    EXPECT_EQ(PixelOf(pixels, {3.3f, 0.5f, 0}), kBackground);
    EXPECT_EQ(device().GetTransform(TransformState::kWorld), world);
}

TEST_F(MeshDrawTest, EachMaterialSubsetDrawsInItsOwnColourAfterReload) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "lit_square.x"));
    Frame(mesh, {0, 0, -5}, kIdentity, false);
    ASSERT_TRUE(Load(mesh, "two_squares.x"));  // the device buffers of the square must go
    Pixels pixels = Frame(mesh, {0, 0, -5}, kIdentity, false);
    // 1.2 times the diffuse colours with the ambient, as kSquareColour.
    EXPECT_TRUE(Near(PixelOf(pixels, {-1.25f, 0, 0}), 0xFFFF1F1F));  // material 0 (0.9, 0.1, 0.1)
    EXPECT_TRUE(Near(PixelOf(pixels, {1.25f, 0, 0}), 0xFF1FD63D));   // material 1 (0.1, 0.7, 0.2)
    EXPECT_EQ(PixelOf(pixels, {0, 0, 0}), kBackground);              // the gap between them

    mesh.Release();
    pixels = Frame(mesh, {0, 0, -5}, kIdentity, true);
    EXPECT_EQ(CountColour(pixels, kBackground), 640 * 480);
}

TEST_F(MeshDrawTest, TexturedMeshShowsTheTexelsOfItsImage) {
    MeshObject square;
    ASSERT_TRUE(Load(square, "textured_square.x"));
    const Pixels pixels = Frame(square, {0, 0, -3}, kIdentity, false);
    // tiles.png, top row first: one texel per quarter of the square.
    EXPECT_EQ(PixelOf(pixels, {-0.5f, 0.5f, 0}), 0xFFE03010u);
    EXPECT_EQ(PixelOf(pixels, {0.5f, 0.5f, 0}), 0xFF20C040u);
    EXPECT_EQ(PixelOf(pixels, {-0.5f, -0.5f, 0}), 0xFF3050D0u);
    EXPECT_EQ(PixelOf(pixels, {0.5f, -0.5f, 0}), 0xFFF0E080u);
}

TEST_F(MeshDrawTest, OnlyABoundNodeWithAMeshDrawsItAtItsWorldMatrix) {
    MeshObject square;
    ASSERT_TRUE(Load(square, "lit_square.x"));
    TransformNode parent, child, unbound, empty;
    parent.local = gfx::MatrixTranslation(-1, 0, 0);
    child.Bind(square, {2.5f, 0, 0}, 1);
    child.parent = &parent;  // the square about (1.5, 0, 0): x 0.5 .. 2.5
    unbound.mesh = &square;

    device().SetTransform(framework::TransformState::kView,
                          gfx::MatrixLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
    device().BeginFrame(kBackground);
    unbound.Draw(device(), true, kOutline);
    empty.Draw(device(), true, kOutline);
    EXPECT_EQ(CountColour(device().ReadPixels(), kBackground), 640 * 480);

    child.Draw(device(), false, kOutline);
    const Pixels pixels = device().ReadPixels();
    EXPECT_TRUE(Near(PixelOf(pixels, {1.5f, 0, 0}), kSquareColour));
    EXPECT_EQ(PixelOf(pixels, {2.7f, 0, 0}), kBackground);
    EXPECT_EQ(PixelOf(pixels, {0.3f, 0, 0}), kBackground);
}

// ---- Vertex colours ----

// vertex_colours.x: four squares of one vertex colour each under a grey material (0.5). Lit
// straight on by white, each shows its vertex colour as the diffuse colour plus the material's
// ambient (0.2) under the scene's ambient light (0x80): 26 on every channel, clamped at 255.
// The last square's colour is half-transparent white over the background.
struct ColourSquare {
    gfx::Vec3 centre;
    gfx::Colour colour;
};
constexpr gfx::Colour kHalfWhiteOverBackground = 0xFF8BA0AC;
const ColourSquare kColourSquares[] = {{{-1.5f, 0, 0}, 0xFFFF1A1A},
                                       {{-0.5f, 0, 0}, 0xFF1AFF1A},
                                       {{0.5f, 0, 0}, 0xFF1A1AFF},
                                       {{1.5f, 0, 0}, kHalfWhiteOverBackground}};

TEST_F(MeshDrawTest, VertexColoursAreTheDiffuseColourWithOrWithoutOutlineDataAndFromTheCache) {
    MeshCache meshes;
    struct Way {
        const char* name;
        bool outline;
        MeshCache* cache;
    };
    // The second load through the cache takes the prepared mesh the first one stored.
    const Way ways[] = {{"drawn only", false, nullptr},
                        {"with outline data", true, nullptr},
                        {"read into the cache", true, &meshes},
                        {"taken from the cache", true, &meshes}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        MeshObject mesh;
        ASSERT_TRUE(
            mesh.LoadFromFile(cache_, "vertex_colours.x", 0, way.outline, 1, way.cache).ok());
        EXPECT_EQ(mesh.d3dMesh->Fvf() & gfx::kFvfDiffuse, gfx::kFvfDiffuse);
        const Pixels pixels = Frame(mesh, {0, 0, -5}, kIdentity, way.outline);
        for (const ColourSquare& square : kColourSquares) {
            const std::uint32_t pixel = PixelOf(pixels, square.centre);
            EXPECT_TRUE(Near(pixel, square.colour))
                << square.centre.x << ": " << std::hex << pixel << " " << square.colour;
        }
        // The outline runs along the border, drawn from the same vertex buffer.
        EXPECT_EQ(ColourAround(pixels, Screen({0, 0.5f, 0}), kOutline, 1), way.outline);
    }
    EXPECT_EQ(meshes.Size(), 1u);

    // The material is drawn again as it is once a coloured mesh is done.
    MeshObject coloured, plain;
    ASSERT_TRUE(Load(coloured, "vertex_colours.x"));
    ASSERT_TRUE(Load(plain, "lit_square.x"));
    EXPECT_EQ(plain.d3dMesh->Fvf() & gfx::kFvfDiffuse, 0u);
    device().SetTransform(framework::TransformState::kView,
                          gfx::MatrixLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
    device().BeginFrame(kBackground);
    coloured.Draw(device(), gfx::MatrixTranslation(0, 1, 0), false, kOutline);
    plain.Draw(device(), gfx::MatrixTranslation(0, -1, 0), false, kOutline);
    const Pixels both = device().ReadPixels();
    EXPECT_TRUE(Near(PixelOf(both, {-1.5f, 1, 0}), 0xFFFF1A1A));
    EXPECT_TRUE(Near(PixelOf(both, {0, -1, 0}), kSquareColour));
}

// ---- Outline ----

// The cube edge shared by the sides with outward normals n1 and n2 (the cube spans -1 .. 1):
// the points n1 + n2 + t (n1 x n2), t in -1 .. 1.
struct CubeEdge {
    gfx::Vec3 n1, n2;
    gfx::Vec3 At(float t) const { return n1 + n2 + t * gfx::Vec3Cross(n1, n2); }
};

// The cube's edges that separate a side seen from the front from one seen from behind.
std::vector<CubeEdge> SilhouetteEdges(gfx::Vec3 eye) {
    const gfx::Vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    auto seen = [&](gfx::Vec3 n) { return gfx::Vec3Dot(eye - n, n) > 0; };  // side centre = n
    std::vector<CubeEdge> edges;
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            for (float sa : {-1.0f, 1.0f}) {
                for (float sb : {-1.0f, 1.0f}) {
                    const CubeEdge edge{sa * axes[a], sb * axes[b]};
                    if (seen(edge.n1) != seen(edge.n2)) edges.push_back(edge);
                }
            }
        }
    }
    return edges;
}

float DistanceToSegment(float px, float py, ScreenPoint a, ScreenPoint b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float t = std::clamp(((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy), 0.f, 1.f);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

TEST_F(MeshDrawTest, ClosedCubeIsOutlinedAlongItsSilhouetteOnlyAndOnlyWhenAsked) {
    MeshObject cube, cubeWithoutData;
    ASSERT_TRUE(Load(cube, "closed_cube.x"));
    ASSERT_TRUE(Load(cubeWithoutData, "closed_cube.x", false));
    const gfx::Vec3 eye{3, 2.5f, -4};  // sees the +x, +y and -z sides
    EXPECT_EQ(CountColour(Frame(cube, eye, kIdentity, false), kOutline), 0);
    EXPECT_EQ(CountColour(Frame(cubeWithoutData, eye, kIdentity, true), kOutline), 0);

    const Pixels pixels = Frame(cube, eye, kIdentity, true);
    const std::vector<CubeEdge> silhouette = SilhouetteEdges(eye);
    ASSERT_EQ(silhouette.size(), 6u);
    for (const CubeEdge& edge : silhouette) {
        for (float t : {-0.6f, 0.0f, 0.6f}) {
            EXPECT_TRUE(ColourAround(pixels, Screen(edge.At(t)), kOutline, 2)) << t;
        }
    }
    // Line pixels lie on the silhouette only: none on the edges between visible sides, none on
    // the sides' diagonals.
    long linePixels = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (PixelAt(pixels, x, y) != kOutline) continue;
            ++linePixels;
            float nearest = 1e9f;
            for (const CubeEdge& edge : silhouette) {
                nearest = std::min(nearest,
                                   DistanceToSegment(static_cast<float>(x), static_cast<float>(y),
                                                     Screen(edge.At(-1)), Screen(edge.At(1))));
            }
            EXPECT_LT(nearest, 1.5f) << x << ", " << y;
        }
    }
    EXPECT_GT(linePixels, 200);
    EXPECT_TRUE(Near(PixelOf(pixels, {1, 0, 0}), kCubeColour, 1));  // a side, unlit by the lines
}

TEST_F(MeshDrawTest, OpenMeshIsOutlinedAlongItsBorderOnlyFromTheFront) {
    MeshObject square;
    ASSERT_TRUE(Load(square, "lit_square.x"));
    Pixels pixels = Frame(square, {0, 0, -5}, kIdentity, true);
    for (const gfx::Vec3 p : {gfx::Vec3{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}}) {
        EXPECT_TRUE(ColourAround(pixels, Screen(p), kOutline, 1)) << p.x << ", " << p.y;
    }
    EXPECT_FALSE(ColourAround(pixels, Screen({0, 0, 0}), kOutline, 10));  // the diagonal

    // From behind every face points away: no surface and no line.
    pixels = Frame(square, {0, 0, 5}, kIdentity, true);
    EXPECT_EQ(CountColour(pixels, kBackground), 640 * 480);
}

TEST_F(MeshDrawTest, OutlineStopsAtFifteenUnitsFromTheMeshOrigin) {
    MeshObject cube;
    ASSERT_TRUE(Load(cube, "closed_cube.x"));
    // The mesh origin is at z = 3; the world origin is nearer to every camera here.
    const gfx::Matrix world = gfx::MatrixTranslation(0, 0, 3);
    const gfx::Vec3 target{0, 0, 3};
    Pixels pixels = Frame(cube, {0, 0, -11.95f}, world, true, target);  // 14.95 units
    EXPECT_TRUE(ColourAround(pixels, Screen({1, 0, 2}), kOutline, 2));

    for (const gfx::Vec3 eye : {gfx::Vec3{0, 0, -12}, gfx::Vec3{9.1f, 0, -9}}) {  // 15, 15.06
        pixels = Frame(cube, eye, world, true, target);
        EXPECT_EQ(CountColour(pixels, kOutline), 0) << eye.x;
        EXPECT_TRUE(Near(PixelOf(pixels, {0, 0, 2}), kCubeColour, 1)) << eye.x;
    }
}

TEST_F(MeshDrawTest, OutlineRestoresLightingDitheringAndProjection) {
    MeshObject cube;
    ASSERT_TRUE(Load(cube, "closed_cube.x"));
    const gfx::Matrix projection = gfx::MatrixPerspectiveFovLH(1.0f, 4.0f / 3.0f, 0.5f, 100.0f);
    device().SetTransform(TransformState::kProjection, projection);

    for (const std::uint32_t lighting : {0u, 1u}) {
        device().SetRenderState(RenderState::kLighting, lighting);
        device().SetRenderState(RenderState::kDitherEnable, 1 - lighting);
        const Pixels pixels = Frame(cube, {3, 2.5f, -4}, kIdentity, true);
        // The line colour is exact only if lighting was off while the lines were drawn.
        EXPECT_GT(CountColour(pixels, kOutline), 200);
        EXPECT_EQ(device().GetRenderState(RenderState::kLighting), lighting);
        EXPECT_EQ(device().GetRenderState(RenderState::kDitherEnable), 1 - lighting);
        EXPECT_EQ(device().GetTransform(TransformState::kProjection), projection);
    }
}

}  // namespace
}  // namespace scene

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/mesh/mesh.h"
#include "mesh_test_util.h"

namespace gfx {
namespace {

using testing::MakeMesh;

constexpr std::uint32_t kAllComponents =
    kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfSpecular | kFvfTex1;

// Vertex layout of kAllComponents: position 0, normal 12, diffuse 24, specular 28, uv 32.
constexpr std::size_t kFullSpecularOffset = 28;

Mesh FullMesh() {
    Mesh mesh = MakeMesh({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {-1, -2, -3}},
                         {{0, 1, 2, 5}, {2, 1, 3, 7}}, kAllComponents);
    for (std::uint32_t v = 0; v < 4; ++v) {
        const auto f = static_cast<float>(v);
        mesh.SetNormal(v, {f, -f, 0.5f});
        mesh.SetDiffuse(v, 0xFF102030u + v);
        mesh.SetTexCoord(v, {f * 0.25f, 1 - f * 0.25f});
        const std::uint32_t specular = 0xAA000000u + v;
        std::memcpy(mesh.Vertices().data() + v * mesh.BytesPerVertex() + kFullSpecularOffset,
                    &specular, 4);
    }
    mesh.SetAttributeTable({{5, 0, 1, 0, 3}, {7, 1, 1, 1, 3}});
    return mesh;
}

void ExpectSameTopology(const Mesh& a, const Mesh& b) {
    EXPECT_EQ(a.NumVertices(), b.NumVertices());
    EXPECT_EQ(std::vector(a.Indices().begin(), a.Indices().end()),
              std::vector(b.Indices().begin(), b.Indices().end()));
    EXPECT_EQ(std::vector(a.Attributes().begin(), a.Attributes().end()),
              std::vector(b.Attributes().begin(), b.Attributes().end()));
    EXPECT_EQ(a.AttributeTable(), b.AttributeTable());
}

TEST(MeshClone, ToPositionAndNormalKeepsThoseAndDropsTheRest) {
    const Mesh source = FullMesh();
    auto clone = source.CloneMeshFVF(kFvfXyz | kFvfNormal);
    ASSERT_TRUE(clone.ok()) << clone.error();
    EXPECT_EQ(clone->Fvf(), kFvfXyz | kFvfNormal);
    EXPECT_EQ(clone->BytesPerVertex(), 24u);
    EXPECT_EQ(clone->Vertices().size(), 4u * 24u);
    ExpectSameTopology(source, *clone);
    for (std::uint32_t v = 0; v < 4; ++v) {
        EXPECT_EQ(clone->Position(v), source.Position(v));
        EXPECT_EQ(clone->Normal(v), source.Normal(v));
        EXPECT_EQ(clone->Diffuse(v), 0u);
        EXPECT_EQ(clone->TexCoord(v), Vec2{});
    }
}

TEST(MeshClone, NewComponentsStartAtZero) {
    const Mesh source = MakeMesh({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {{0, 1, 2}});
    auto clone = source.CloneMeshFVF(kFvfXyz | kFvfNormal | kFvfTex1);
    ASSERT_TRUE(clone.ok()) << clone.error();
    EXPECT_EQ(clone->BytesPerVertex(), 32u);
    for (std::uint32_t v = 0; v < 3; ++v) {
        EXPECT_EQ(clone->Position(v), source.Position(v));
        EXPECT_EQ(clone->Normal(v), Vec3{});
        EXPECT_EQ(clone->TexCoord(v), Vec2{});
    }
}

TEST(MeshClone, RoundTripThroughWiderFormatIsByteExact) {
    const Mesh source = FullMesh();
    auto narrow = source.CloneMeshFVF(kFvfXyz | kFvfSpecular | kFvfTex1);
    ASSERT_TRUE(narrow.ok()) << narrow.error();
    // Specular moves from byte 28 to byte 12 when normal and diffuse are gone.
    for (std::uint32_t v = 0; v < 4; ++v) {
        std::uint32_t specular;
        std::memcpy(&specular, narrow->Vertices().data() + v * narrow->BytesPerVertex() + 12, 4);
        EXPECT_EQ(specular, 0xAA000000u + v);
        EXPECT_EQ(narrow->TexCoord(v), source.TexCoord(v));
    }
    auto wide = narrow->CloneMeshFVF(kAllComponents);
    ASSERT_TRUE(wide.ok()) << wide.error();
    auto back = wide->CloneMeshFVF(kFvfXyz | kFvfSpecular | kFvfTex1);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_TRUE(std::equal(back->Vertices().begin(), back->Vertices().end(),
                           narrow->Vertices().begin(), narrow->Vertices().end()));
    ExpectSameTopology(source, *back);

    auto same = source.CloneMeshFVF(kAllComponents);
    ASSERT_TRUE(same.ok()) << same.error();
    EXPECT_TRUE(std::equal(same->Vertices().begin(), same->Vertices().end(),
                           source.Vertices().begin(), source.Vertices().end()));
}

TEST(MeshClone, RejectsFormatsWithoutPositionOrWithUnknownComponents) {
    const Mesh source = FullMesh();
    EXPECT_FALSE(source.CloneMeshFVF(kFvfNormal | kFvfTex1).ok());
    EXPECT_FALSE(source.CloneMeshFVF(0).ok());
    auto unknown = source.CloneMeshFVF(kFvfXyz | 0x4000);
    ASSERT_FALSE(unknown.ok());
    EXPECT_NE(unknown.error().find("0x00004000"), std::string::npos) << unknown.error();
}

TEST(MeshClone, EmptyMeshClonesToEmptyMesh) {
    auto clone = Mesh().CloneMeshFVF(kFvfXyz | kFvfNormal);
    ASSERT_TRUE(clone.ok()) << clone.error();
    EXPECT_EQ(clone->NumFaces(), 0u);
    EXPECT_EQ(clone->NumVertices(), 0u);
}

}  // namespace
}  // namespace gfx

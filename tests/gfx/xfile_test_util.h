#pragma once
// Shared helpers of the .x loader tests: loading fixtures and inline text, and comparing
// whole meshes against hand-derived expectations.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/xfile/xfile.h"

namespace gfx::xtest {

inline std::string FixturePath(const std::string& name) {
    return std::string(POSEWRIGHTER_TEST_DATA) + "/x/" + name;
}

inline Result<LoadedMesh> LoadFixture(const std::string& name) {
    return LoadMeshFromX(FixturePath(name));
}

inline Result<LoadedMesh> LoadText(std::string_view text) {
    return LoadMeshFromXInMemory(std::as_bytes(std::span(text.data(), text.size())));
}

inline Result<LoadedMesh> LoadBytes(const std::vector<std::byte>& bytes) {
    return LoadMeshFromXInMemory(bytes);
}

// Fails the test with the loader's message when the load failed.
inline const LoadedMesh& Ok(const Result<LoadedMesh>& result) {
    EXPECT_TRUE(result.ok()) << result.error();
    static const LoadedMesh kEmpty;
    return result.ok() ? result.value() : kEmpty;
}

// The error message of a load that must fail.
inline std::string Failure(const Result<LoadedMesh>& result) {
    EXPECT_FALSE(result.ok()) << "the load succeeded";
    return result.ok() ? std::string() : result.error();
}

inline void ExpectNear(Vec3 actual, Vec3 expected, const char* what, std::uint32_t vertex) {
    constexpr float kTolerance = 1e-5f;
    EXPECT_NEAR(actual.x, expected.x, kTolerance) << what << " x of vertex " << vertex;
    EXPECT_NEAR(actual.y, expected.y, kTolerance) << what << " y of vertex " << vertex;
    EXPECT_NEAR(actual.z, expected.z, kTolerance) << what << " z of vertex " << vertex;
}

inline void ExpectPositions(const Mesh& mesh, const std::vector<Vec3>& expected) {
    ASSERT_EQ(mesh.NumVertices(), expected.size());
    for (std::uint32_t v = 0; v < expected.size(); ++v) {
        ExpectNear(mesh.Position(v), expected[v], "position", v);
    }
}

inline void ExpectNormals(const Mesh& mesh, const std::vector<Vec3>& expected) {
    ASSERT_EQ(mesh.NumVertices(), expected.size());
    for (std::uint32_t v = 0; v < expected.size(); ++v) {
        ExpectNear(mesh.Normal(v), expected[v], "normal", v);
    }
}

inline void ExpectTexCoords(const Mesh& mesh, const std::vector<Vec2>& expected) {
    ASSERT_EQ(mesh.NumVertices(), expected.size());
    for (std::uint32_t v = 0; v < expected.size(); ++v) {
        EXPECT_EQ(mesh.TexCoord(v), expected[v]) << "texture coordinates of vertex " << v;
    }
}

inline void ExpectIndices(const Mesh& mesh, const std::vector<std::uint16_t>& expected) {
    const auto indices = mesh.Indices();
    EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.end()), expected);
}

inline void ExpectAttributes(const Mesh& mesh, const std::vector<std::uint32_t>& expected) {
    const auto attributes = mesh.Attributes();
    EXPECT_EQ(std::vector<std::uint32_t>(attributes.begin(), attributes.end()), expected);
}

// The material a mesh without a material list receives.
inline ExtendedMaterial DefaultMaterial() {
    ExtendedMaterial m;
    m.material.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    m.material.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    return m;
}

// A material as a file declares it: specular and emissive opaque, ambient black and opaque.
inline ExtendedMaterial FileMaterial(ColourValue diffuse, float power, Vec3 specular, Vec3 emissive,
                                     std::optional<std::string> texture = {}) {
    ExtendedMaterial m;
    m.material.diffuse = diffuse;
    m.material.power = power;
    m.material.specular = {specular.x, specular.y, specular.z, 1.0f};
    m.material.emissive = {emissive.x, emissive.y, emissive.z, 1.0f};
    m.material.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    m.textureFilename = std::move(texture);
    return m;
}

// Two loads describe the same mesh bit for bit.
inline void ExpectSameMesh(const LoadedMesh& a, const LoadedMesh& b) {
    EXPECT_EQ(a.mesh.Fvf(), b.mesh.Fvf());
    ASSERT_EQ(a.mesh.NumVertices(), b.mesh.NumVertices());
    ASSERT_EQ(a.mesh.NumFaces(), b.mesh.NumFaces());
    const auto va = a.mesh.Vertices();
    const auto vb = b.mesh.Vertices();
    EXPECT_TRUE(va.size() == vb.size() && std::memcmp(va.data(), vb.data(), va.size()) == 0)
        << "vertex data differs";
    const auto ia = a.mesh.Indices();
    const auto ib = b.mesh.Indices();
    EXPECT_TRUE(std::equal(ia.begin(), ia.end(), ib.begin(), ib.end())) << "indices differ";
    const auto aa = a.mesh.Attributes();
    const auto ab = b.mesh.Attributes();
    EXPECT_TRUE(std::equal(aa.begin(), aa.end(), ab.begin(), ab.end())) << "attributes differ";
    EXPECT_EQ(a.materials, b.materials);
    EXPECT_EQ(a.adjacency, b.adjacency);
}

// Writes binary .x token streams by hand, for cases the text fixtures cannot express.
class BinaryX {
  public:
    explicit BinaryX(const char* header = "xof 0302bin 0032") {
        for (const char* c = header; *c; ++c) bytes_.push_back(std::byte(*c));
    }
    BinaryX& Token(std::uint16_t code) {
        Put(code, 2);
        return *this;
    }
    BinaryX& Name(std::string_view name) { return Token(1).Text(name); }
    BinaryX& String(std::string_view text) { return Token(2).Text(text); }
    BinaryX& Integer(std::uint32_t value) {
        Token(3);
        Put(value, 4);
        return *this;
    }
    BinaryX& Ints(const std::vector<std::uint32_t>& values) {
        Token(6);
        Put(values.size(), 4);
        for (std::uint32_t v : values) Put(v, 4);
        return *this;
    }
    BinaryX& Floats(const std::vector<float>& values) {
        Token(7);
        Put(values.size(), 4);
        for (float f : values) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            Put(bits, 4);
        }
        return *this;
    }
    BinaryX& Raw(std::uint64_t value, int bytes) {
        Put(value, bytes);
        return *this;
    }
    BinaryX& Open() { return Token(10); }
    BinaryX& Close() { return Token(11); }
    const std::vector<std::byte>& bytes() const { return bytes_; }

  private:
    BinaryX& Text(std::string_view text) {
        Put(text.size(), 4);
        for (char c : text) bytes_.push_back(std::byte(c));
        return *this;
    }
    void Put(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bytes_.push_back(i < 8 ? std::byte((value >> (8 * i)) & 0xFF) : std::byte{0});
        }
    }
    std::vector<std::byte> bytes_;
};

}  // namespace gfx::xtest

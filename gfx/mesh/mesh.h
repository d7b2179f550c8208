#pragma once
// The triangle mesh container: interleaved vertices described by a vertex format, 16-bit
// indices (three per face), one attribute id per face and, after an attribute sort, the
// attribute table. Vertex memory always starts with the position (three floats), then the
// normal, the diffuse colour and the texture coordinates as the format declares them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace gfx {

// Vertex format flags (the values of the fixed-function vertex format).
inline constexpr std::uint32_t kFvfXyz = 0x002;
inline constexpr std::uint32_t kFvfNormal = 0x010;
inline constexpr std::uint32_t kFvfDiffuse = 0x040;
inline constexpr std::uint32_t kFvfSpecular = 0x080;
inline constexpr std::uint32_t kFvfTex1 = 0x100;  // one set of 2D texture coordinates

// Optimisation flags (values of the 8.0 interface).
inline constexpr std::uint32_t kMeshOptCompact = 1;
inline constexpr std::uint32_t kMeshOptAttrSort = 2;
inline constexpr std::uint32_t kMeshOptVertexCache = 4;

// Marks "no neighbour" in adjacency arrays.
inline constexpr std::uint32_t kNoNeighbour = 0xFFFFFFFF;

// Bytes per vertex of a format made of the flags above; 0 for a format without a position.
std::uint32_t GetFVFVertexSize(std::uint32_t fvf);
// Byte offsets inside a vertex of the given format; -1 when the format lacks the component.
int NormalOffset(std::uint32_t fvf);
int DiffuseOffset(std::uint32_t fvf);
int TexCoordOffset(std::uint32_t fvf);

// The fixed-function material: colours and specular power.
struct Material {
    ColourValue diffuse, ambient, specular, emissive;
    float power = 0;
    friend bool operator==(const Material&, const Material&) = default;
};

// A material as a mesh file declares it, with its texture file name when it names one
// (stored exactly as the file spells it).
struct ExtendedMaterial {
    Material material;
    std::optional<std::string> textureFilename;
    // The encoded image when the mesh file holds it itself (glTF): the texture is decoded from
    // these bytes, and textureFilename is the name the texture cache shares it by.
    std::shared_ptr<const std::vector<std::byte>> textureData;
    friend bool operator==(const ExtendedMaterial&, const ExtendedMaterial&) = default;
};

// One run of faces sharing an attribute id, and the vertex range those faces use.
struct AttributeRange {
    std::uint32_t attribId = 0, faceStart = 0, faceCount = 0, vertexStart = 0, vertexCount = 0;
    friend bool operator==(const AttributeRange&, const AttributeRange&) = default;
};

class Mesh {
  public:
    Mesh() = default;
    Mesh(std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t fvf);

    std::uint32_t NumFaces() const { return static_cast<std::uint32_t>(attributes_.size()); }
    std::uint32_t NumVertices() const { return vertexCount_; }
    std::uint32_t Fvf() const { return fvf_; }
    std::uint32_t BytesPerVertex() const { return stride_; }

    std::span<std::byte> Vertices() { return vertices_; }
    std::span<const std::byte> Vertices() const { return vertices_; }
    std::span<std::uint16_t> Indices() { return indices_; }
    std::span<const std::uint16_t> Indices() const { return indices_; }
    std::span<std::uint32_t> Attributes() { return attributes_; }
    std::span<const std::uint32_t> Attributes() const { return attributes_; }

    // Filled by an attribute sort; empty before.
    const std::vector<AttributeRange>& AttributeTable() const { return attributeTable_; }
    void SetAttributeTable(std::vector<AttributeRange> table) {
        attributeTable_ = std::move(table);
    }

    Vec3 Position(std::uint32_t vertex) const;
    void SetPosition(std::uint32_t vertex, Vec3 p);
    // Zero when the format has no normal.
    Vec3 Normal(std::uint32_t vertex) const;
    void SetNormal(std::uint32_t vertex, Vec3 n);
    Vec2 TexCoord(std::uint32_t vertex) const;
    void SetTexCoord(std::uint32_t vertex, Vec2 uv);
    Colour Diffuse(std::uint32_t vertex) const;
    void SetDiffuse(std::uint32_t vertex, Colour c);

    // Read access in the lock/unlock style of the device buffers; locks must be balanced.
    const std::byte* LockVertexBuffer() const;
    void UnlockVertexBuffer() const;
    const std::uint16_t* LockIndexBuffer() const;
    void UnlockIndexBuffer() const;
    bool IsLocked() const { return vertexLocks_ > 0 || indexLocks_ > 0; }

    // A copy in another vertex format: components both formats have are copied, new ones are
    // zero. Fails for a format without a position.
    Result<Mesh> CloneMeshFVF(std::uint32_t fvf) const;

    // Reorders faces and vertices (see the flags). The adjacency, three entries a face, is the
    // one the mesh was loaded or generated with; it may be empty.
    Result<Mesh> Optimize(std::uint32_t flags, std::span<const std::uint32_t> adjacency) const;

    // Three entries a face: the face across edge k (k = 0: corner 0 to 1, 1: 1 to 2, 2: 2 to 0),
    // or kNoNeighbour. Vertices whose positions lie within epsilon of each other count as one.
    std::vector<std::uint32_t> GenerateAdjacency(float epsilon) const;

  private:
    std::uint32_t fvf_ = 0;
    std::uint32_t stride_ = 0;
    std::uint32_t vertexCount_ = 0;
    std::vector<std::byte> vertices_;
    std::vector<std::uint16_t> indices_;
    std::vector<std::uint32_t> attributes_;
    std::vector<AttributeRange> attributeTable_;
    mutable int vertexLocks_ = 0;
    mutable int indexLocks_ = 0;
};

// A centred box: 24 vertices (four a side, each with the side's normal), 12 triangles,
// format XYZ | NORMAL. Fills the adjacency when asked.
Result<Mesh> CreateBox(float width, float height, float depth,
                       std::vector<std::uint32_t>* adjacency = nullptr);

// Bounds over `count` vertices of `stride` bytes whose positions are the first three floats.
void ComputeBoundingBox(const std::byte* vertices, std::uint32_t count, std::uint32_t stride,
                        Vec3* min, Vec3* max);
// Centre = mean of the positions, radius = the largest distance from it.
void ComputeBoundingSphere(const std::byte* vertices, std::uint32_t count, std::uint32_t stride,
                           Vec3* centre, float* radius);

}  // namespace gfx

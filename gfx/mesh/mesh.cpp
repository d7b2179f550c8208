#include "gfx/mesh/mesh.h"

#include <cassert>
#include <cstring>

namespace gfx {

std::uint32_t GetFVFVertexSize(std::uint32_t fvf) {
    if ((fvf & kFvfXyz) == 0) return 0;
    std::uint32_t size = 12;
    if (fvf & kFvfNormal) size += 12;
    if (fvf & kFvfDiffuse) size += 4;
    if (fvf & kFvfSpecular) size += 4;
    if (fvf & kFvfTex1) size += 8;
    return size;
}

int NormalOffset(std::uint32_t fvf) {
    return (fvf & kFvfNormal) ? 12 : -1;
}

int DiffuseOffset(std::uint32_t fvf) {
    if ((fvf & kFvfDiffuse) == 0) return -1;
    return (fvf & kFvfNormal) ? 24 : 12;
}

int TexCoordOffset(std::uint32_t fvf) {
    if ((fvf & kFvfTex1) == 0) return -1;
    int offset = 12;
    if (fvf & kFvfNormal) offset += 12;
    if (fvf & kFvfDiffuse) offset += 4;
    if (fvf & kFvfSpecular) offset += 4;
    return offset;
}

Mesh::Mesh(std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t fvf)
    : fvf_(fvf),
      stride_(GetFVFVertexSize(fvf)),
      vertexCount_(vertexCount),
      vertices_(std::size_t{vertexCount} * GetFVFVertexSize(fvf)),
      indices_(std::size_t{faceCount} * 3),
      attributes_(faceCount) {}

namespace {

template <typename T>
T ReadAt(const std::vector<std::byte>& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

template <typename T>
void WriteAt(std::vector<std::byte>& bytes, std::size_t offset, const T& value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace

Vec3 Mesh::Position(std::uint32_t vertex) const {
    return ReadAt<Vec3>(vertices_, std::size_t{vertex} * stride_);
}

void Mesh::SetPosition(std::uint32_t vertex, Vec3 p) {
    WriteAt(vertices_, std::size_t{vertex} * stride_, p);
}

Vec3 Mesh::Normal(std::uint32_t vertex) const {
    const int offset = NormalOffset(fvf_);
    if (offset < 0) return {};
    return ReadAt<Vec3>(vertices_, std::size_t{vertex} * stride_ + offset);
}

void Mesh::SetNormal(std::uint32_t vertex, Vec3 n) {
    const int offset = NormalOffset(fvf_);
    if (offset >= 0) WriteAt(vertices_, std::size_t{vertex} * stride_ + offset, n);
}

Vec2 Mesh::TexCoord(std::uint32_t vertex) const {
    const int offset = TexCoordOffset(fvf_);
    if (offset < 0) return {};
    return ReadAt<Vec2>(vertices_, std::size_t{vertex} * stride_ + offset);
}

void Mesh::SetTexCoord(std::uint32_t vertex, Vec2 uv) {
    const int offset = TexCoordOffset(fvf_);
    if (offset >= 0) WriteAt(vertices_, std::size_t{vertex} * stride_ + offset, uv);
}

Colour Mesh::Diffuse(std::uint32_t vertex) const {
    const int offset = DiffuseOffset(fvf_);
    if (offset < 0) return 0;
    return ReadAt<Colour>(vertices_, std::size_t{vertex} * stride_ + offset);
}

void Mesh::SetDiffuse(std::uint32_t vertex, Colour c) {
    const int offset = DiffuseOffset(fvf_);
    if (offset >= 0) WriteAt(vertices_, std::size_t{vertex} * stride_ + offset, c);
}

const std::byte* Mesh::LockVertexBuffer() const {
    ++vertexLocks_;
    return vertices_.data();
}

void Mesh::UnlockVertexBuffer() const {
    assert(vertexLocks_ > 0);
    --vertexLocks_;
}

const std::uint16_t* Mesh::LockIndexBuffer() const {
    ++indexLocks_;
    return indices_.data();
}

void Mesh::UnlockIndexBuffer() const {
    assert(indexLocks_ > 0);
    --indexLocks_;
}

}  // namespace gfx

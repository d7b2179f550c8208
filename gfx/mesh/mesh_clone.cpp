// Copying a mesh into another vertex format.

#include <cstring>
#include <string>

#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

constexpr std::uint32_t kKnownFvfBits =
    kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfSpecular | kFvfTex1;

int SpecularOffset(std::uint32_t fvf) {
    if ((fvf & kFvfSpecular) == 0) return -1;
    int offset = 12;
    if (fvf & kFvfNormal) offset += 12;
    if (fvf & kFvfDiffuse) offset += 4;
    return offset;
}

struct Component {
    int (*offset)(std::uint32_t fvf);
    std::size_t size;
};

int PositionOffset(std::uint32_t fvf) {
    return (fvf & kFvfXyz) ? 0 : -1;
}

constexpr Component kComponents[] = {
    {PositionOffset, 12}, {NormalOffset, 12},  {DiffuseOffset, 4},
    {SpecularOffset, 4},  {TexCoordOffset, 8},
};

std::string Hex(std::uint32_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
    return text;
}

}  // namespace

Result<Mesh> Mesh::CloneMeshFVF(std::uint32_t fvf) const {
    if ((fvf & kFvfXyz) == 0) {
        return Error{"CloneMeshFVF: vertex format " + Hex(fvf) + " has no position"};
    }
    if ((fvf & ~kKnownFvfBits) != 0) {
        return Error{"CloneMeshFVF: vertex format " + Hex(fvf) + " has unsupported components " +
                     Hex(fvf & ~kKnownFvfBits)};
    }
    Mesh clone(NumFaces(), vertexCount_, fvf);
    clone.indices_ = indices_;
    clone.attributes_ = attributes_;
    clone.attributeTable_ = attributeTable_;

    // A source format without a position holds no vertex data to copy.
    if (stride_ == 0) return clone;
    for (const Component& component : kComponents) {
        const int from = component.offset(fvf_);
        const int to = component.offset(fvf);
        if (from < 0 || to < 0) continue;
        for (std::size_t v = 0; v < vertexCount_; ++v) {
            std::memcpy(clone.vertices_.data() + v * clone.stride_ + to,
                        vertices_.data() + v * stride_ + from, component.size);
        }
    }
    return clone;
}

}  // namespace gfx

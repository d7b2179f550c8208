#pragma once
// Appends data to the one buffer of a glTF asset: a buffer view for each block (4-byte aligned)
// and an accessor over it.

#include <tiny_gltf.h>

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/math/math_types.h"

namespace app {

class GltfBuffer {
  public:
    // Uses (and creates when missing) buffer 0 of `gltf`.
    explicit GltfBuffer(tinygltf::Model& gltf);

    // A buffer view over a copy of the bytes; target 0 = none. Returns its index.
    int AddView(std::span<const std::uint8_t> bytes, int target);

    // What a block of vectors is for: positions carry their bounds, as glTF requires; vertex
    // data is marked for the vertex array, animation data for nothing.
    enum class Use { kPosition, kVertex, kAnimation };

    // Accessors with one view each.
    int AddVec3(std::span<const gfx::Vec3> values, Use use);
    int AddVec2(std::span<const gfx::Vec2> values);
    int AddQuat(std::span<const gfx::Quat> values);
    // Animation times, with their bounds.
    int AddScalars(std::span<const float> values);
    int AddIndices(std::span<const std::uint16_t> values);

  private:
    int AddAccessor(std::span<const std::uint8_t> bytes, int target, int componentType,
                    std::size_t count, int type);

    tinygltf::Model& gltf_;
};

}  // namespace app

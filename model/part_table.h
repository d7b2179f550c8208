#pragma once
// The part file's document: a depth-first tree of at most 100 rigid parts, each a mesh path
// hanging from its parent with a default pose. Slots 0..count-1 are in use; a part's subtree is
// the contiguous run that follows it with greater levels. Plain data: the nodes and meshes the
// editor draws are built from it elsewhere (editing/part_scene.h).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "gfx/math/math_types.h"
#include "model/limits.h"

namespace model {

class PartTable {
  public:
    std::int16_t count = 0;
    float scale = 1.0f;
    std::array<std::array<char, kNameField>, kMaxParts> name{};  // NUL-terminated bytes
    std::array<std::array<char, kPathField>, kMaxParts> path{};  // NUL-terminated bytes
    std::array<PartIndex, kMaxParts> parent{};
    std::array<std::int16_t, kMaxParts> level{};
    std::array<gfx::Vec3, kMaxParts> defaultPosition{};
    std::array<gfx::Quat, kMaxParts> defaultOrientation{};

    std::string_view Name(int i) const { return name[i].data(); }
    std::string_view Path(int i) const { return path[i].data(); }
    // Copies text into a field; false (field unchanged) when it does not fit with its terminator.
    static bool SetField(std::span<char> field, std::string_view text);

    // Every field of every slot, those past count included; by value, so a NaN differs from
    // itself.
    friend bool operator==(const PartTable&, const PartTable&) = default;
};

}  // namespace model

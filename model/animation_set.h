#pragma once
// The one animation of the open model: up to 16 key poses of every part slot with the number
// of frames playback takes to reach each key.

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/math/math_types.h"
#include "model/limits.h"

namespace model {

struct AnimationSet {
    // [key][part]; positions in parent-scaled units (the node's GetPosition).
    std::array<std::array<gfx::Quat, kMaxParts>, kMaxKeys> keyOrientation;
    std::array<std::array<gfx::Vec3, kMaxParts>, kMaxKeys> keyPosition;
    // Frames taken to reach each key; the first 0 ends the keys in use.
    std::array<std::int16_t, kMaxKeys> frameCount{};

    // Key numbers K are 1..16 as the user sees them.
    void SetFrameCount(int keyNumber, std::int16_t count);
    void ClearAnimation();
    // The leading keys with a non-zero frame count (0 = the animation is empty).
    int KeysInUse() const;
    // The key numbers past the keys in use that hold a pose of one of the first `partCount`
    // parts, or frames: neither played nor saved, since the first key without frames ends the
    // animation.
    std::vector<int> KeysPastTheEnd(int partCount) const;

    friend bool operator==(const AnimationSet&, const AnimationSet&) = default;
};

}  // namespace model

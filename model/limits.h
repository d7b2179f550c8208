#pragma once
// Capacities of the model: every table is fixed-size and allocated once.

#include <cstddef>
#include <cstdint>

namespace model {

inline constexpr int kMaxParts = 100;
inline constexpr int kMaxKeys = 16;
// Field sizes of names and paths, terminator included: names hold 63 bytes, paths 255.
inline constexpr std::size_t kNameField = 64;
inline constexpr std::size_t kPathField = 256;

// Key numbers are 1..16 as the user sees them.
constexpr bool ValidKeyNumber(int keyNumber) {
    return keyNumber >= 1 && keyNumber <= kMaxKeys;
}

using PartIndex = std::int16_t;  // 0..99; -1 = none
inline constexpr PartIndex kNoPart = -1;

}  // namespace model

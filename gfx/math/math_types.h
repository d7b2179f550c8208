#pragma once
// The value types of the graphics utility library: 32-bit floats, row vectors (p' = p * M),
// left-handed frames, quaternions with w last.

#include <cstdint>

namespace gfx {

struct Vec2 {
    float x = 0, y = 0;
    friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Vec4 {
    float x = 0, y = 0, z = 0, w = 0;
    friend bool operator==(const Vec4&, const Vec4&) = default;
};

// Unit quaternion, w last; identity is (0, 0, 0, 1).
struct Quat {
    float x = 0, y = 0, z = 0, w = 1;
    friend bool operator==(const Quat&, const Quat&) = default;
};

// 4 x 4 matrix in the row-vector convention: m[row][column], the translation in row 3
// (the fourth row). Default-constructed to identity.
struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

// Material colour: four floats, red, green, blue, alpha, in 0 to 1.
struct ColourValue {
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const ColourValue&, const ColourValue&) = default;
};

// Packed 32-bit ARGB colour, alpha in the top byte.
using Colour = std::uint32_t;

}  // namespace gfx

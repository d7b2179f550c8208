#pragma once
// The value types of the graphics device's interface, in the conventions and numeric codes of
// the classic fixed-function 3D interface, so drawing code states what it means in those terms.

#include <cstdint>

#include "gfx/math/math_types.h"

namespace framework {

enum class TransformState { kWorld, kView, kProjection };

// Primitive types; DrawPrimitiveUP counts primitives, not vertices.
enum class PrimitiveType : std::uint32_t {
    kPointList = 1,
    kLineList = 2,
    kLineStrip = 3,
    kTriangleList = 4,
    kTriangleStrip = 5,
    kTriangleFan = 6,
};

enum class RenderState {
    kLighting,          // 0 / 1
    kAmbient,           // ARGB colour added to every lit vertex (times the material ambient)
    kSpecularEnable,    // 0 / 1
    kShadeMode,         // kShade*
    kCullMode,          // kCull*
    kZEnable,           // 0 / 1
    kZWriteEnable,      // 0 / 1
    kFogEnable,         // 0 / 1
    kAlphaBlendEnable,  // 0 / 1
    kSrcBlend,          // kBlend*
    kDestBlend,         // kBlend*
    kDitherEnable,      // 0 / 1
    kCount,
};

inline constexpr std::uint32_t kShadeFlat = 1;
inline constexpr std::uint32_t kShadeGouraud = 2;

// Which winding is culled, as seen on screen: counter-clockwise (the default) culls the faces
// that run counter-clockwise, so clockwise faces are the visible front.
inline constexpr std::uint32_t kCullNone = 1;
inline constexpr std::uint32_t kCullClockwise = 2;
inline constexpr std::uint32_t kCullCounterClockwise = 3;

inline constexpr std::uint32_t kBlendZero = 1;
inline constexpr std::uint32_t kBlendOne = 2;
inline constexpr std::uint32_t kBlendSrcColour = 3;
inline constexpr std::uint32_t kBlendInvSrcColour = 4;
inline constexpr std::uint32_t kBlendSrcAlpha = 5;
inline constexpr std::uint32_t kBlendInvSrcAlpha = 6;
inline constexpr std::uint32_t kBlendDestAlpha = 7;
inline constexpr std::uint32_t kBlendInvDestAlpha = 8;
inline constexpr std::uint32_t kBlendDestColour = 9;
inline constexpr std::uint32_t kBlendInvDestColour = 10;

inline constexpr std::uint32_t kLightPoint = 1;
inline constexpr std::uint32_t kLightSpot = 2;
inline constexpr std::uint32_t kLightDirectional = 3;

// The largest light range: the square root of the largest float (bit pattern 0x5F7FFFFF).
inline constexpr float kLightRangeMax = 1.8446743e19f;

// A light in world space. A directional light shines along `direction` (the way its light
// travels). All zero is "no light yet".
struct Light {
    std::uint32_t type = 0;  // kLight*
    gfx::ColourValue diffuse, specular, ambient;
    gfx::Vec3 position, direction;
    float range = 0, falloff = 0;
    float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0, phi = 0;  // spot cone angles, radians
    friend bool operator==(const Light&, const Light&) = default;
};

// A camera's view and projection, as its owner keeps them and gives them to the device.
struct ViewTransforms {
    gfx::Matrix ViewMatrix, ProjectionMatrix;
};

// A directional light along the normalised direction with this diffuse colour and the largest
// range; everything else zero.
Light MakeDirectionalLight(gfx::Vec3 direction, gfx::ColourValue diffuse);

}  // namespace framework

// Bounding box and sphere of a vertex buffer.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

Vec3 PositionAt(const std::byte* vertices, std::uint32_t vertex, std::uint32_t stride) {
    Vec3 p;
    std::memcpy(&p, vertices + std::size_t{vertex} * stride, sizeof p);
    return p;
}

}  // namespace

void ComputeBoundingBox(const std::byte* vertices, std::uint32_t count, std::uint32_t stride,
                        Vec3* min, Vec3* max) {
    Vec3 low, high;
    if (vertices != nullptr && count > 0) {
        low = high = PositionAt(vertices, 0, stride);
        for (std::uint32_t v = 1; v < count; ++v) {
            const Vec3 p = PositionAt(vertices, v, stride);
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
    }
    if (min != nullptr) *min = low;
    if (max != nullptr) *max = high;
}

// The centre is summed in double and rounded once: a float running sum loses low bits as it
// grows, so the mean of a large part far from the origin would drift and depend on vertex
// order; the double sum gives the correctly rounded mean for any mesh a 16-bit index buffer
// can address. The radius is the largest distance from that float centre, so the sphere
// encloses every position as the callers will test it.
void ComputeBoundingSphere(const std::byte* vertices, std::uint32_t count, std::uint32_t stride,
                           Vec3* centre, float* radius) {
    Vec3 mean;
    float farthest = 0;
    if (vertices != nullptr && count > 0) {
        double sx = 0, sy = 0, sz = 0;
        for (std::uint32_t v = 0; v < count; ++v) {
            const Vec3 p = PositionAt(vertices, v, stride);
            sx += p.x;
            sy += p.y;
            sz += p.z;
        }
        mean = {static_cast<float>(sx / count), static_cast<float>(sy / count),
                static_cast<float>(sz / count)};
        double largest = 0;
        for (std::uint32_t v = 0; v < count; ++v) {
            const Vec3 p = PositionAt(vertices, v, stride);
            const double dx = double{p.x} - mean.x, dy = double{p.y} - mean.y,
                         dz = double{p.z} - mean.z;
            largest = std::max(largest, dx * dx + dy * dy + dz * dz);
        }
        farthest = static_cast<float>(std::sqrt(largest));
        // Rounding to float must not shrink the sphere below the farthest point.
        if (double{farthest} < std::sqrt(largest)) {
            farthest = std::nextafter(farthest, std::numeric_limits<float>::infinity());
        }
    }
    if (centre != nullptr) *centre = mean;
    if (radius != nullptr) *radius = farthest;
}

}  // namespace gfx

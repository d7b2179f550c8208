#pragma once
// The reader benchmarks' meshes: kFiles wavy grids of kTrianglesPerFile triangles, with normals
// and texture coordinates, different in every file (the same for every file type).

#include <cmath>
#include <cstdint>
#include <vector>

namespace bench_grid {

constexpr int kFiles = 50;
constexpr int kCells = 100;  // a kCells x kCells grid of quads: 20,000 triangles a file
constexpr int kSide = kCells + 1;
constexpr std::int64_t kTrianglesPerFile = 2 * kCells * kCells;

// One grid: a wavy surface with normals and texture coordinates, different in every file.
struct Grid {
    std::vector<float> positions, normals, uvs;  // 3, 3 and 2 a vertex
    std::vector<std::uint32_t> triangles;        // 3 a triangle, counter-clockwise
};

inline Grid MakeGrid(int file) {
    Grid g;
    const float phase = 0.37f * float(file);
    for (int j = 0; j < kSide; ++j) {
        for (int i = 0; i < kSide; ++i) {
            const float x = float(i) * 0.1f, y = float(j) * 0.1f;
            const float z = 0.25f * std::sin(x + phase) * std::cos(y - phase);
            g.positions.insert(g.positions.end(), {x, y, z});
            const float dx = 0.25f * std::cos(x + phase) * std::cos(y - phase);
            const float dy = -0.25f * std::sin(x + phase) * std::sin(y - phase);
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            g.normals.insert(g.normals.end(), {-dx / length, -dy / length, 1.0f / length});
            g.uvs.insert(g.uvs.end(), {float(i) / kCells, float(j) / kCells});
        }
    }
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            const auto a = static_cast<std::uint32_t>(j * kSide + i);
            const std::uint32_t b = a + 1, c = a + kSide + 1, d = a + kSide;
            g.triangles.insert(g.triangles.end(), {a, b, c, a, c, d});
        }
    }
    return g;
}

}  // namespace bench_grid

// Adjacency generation on large split-vertex meshes, exactly and with an epsilon. The planar
// grid is the shape that would defeat a one-axis sweep.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "gfx/mesh/mesh.h"

namespace {

// A side x side grid of quads in the z = 0 plane, four vertices of its own per quad.
gfx::Mesh SplitPlanarGrid(int side) {
    gfx::Mesh mesh(static_cast<std::uint32_t>(side * side * 2),
                   static_cast<std::uint32_t>(side * side * 4), gfx::kFvfXyz | gfx::kFvfNormal);
    std::uint32_t vertex = 0;
    std::size_t index = 0;
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            const auto x = static_cast<float>(i), y = static_cast<float>(j);
            const auto base = static_cast<std::uint16_t>(vertex);
            for (const gfx::Vec3 p : {gfx::Vec3{x, y, 0}, gfx::Vec3{x + 1, y, 0},
                                      gfx::Vec3{x + 1, y + 1, 0}, gfx::Vec3{x, y + 1, 0}}) {
                mesh.SetPosition(vertex++, p);
            }
            for (const int corner : {0, 1, 2, 0, 2, 3}) {
                mesh.Indices()[index++] = static_cast<std::uint16_t>(base + corner);
            }
        }
    }
    return mesh;
}

void BM_AdjacencyExact(benchmark::State& state) {
    const gfx::Mesh mesh = SplitPlanarGrid(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(mesh.GenerateAdjacency(0));
    state.SetItemsProcessed(state.iterations() * mesh.NumFaces());
}

void BM_AdjacencyEpsilon(benchmark::State& state) {
    const gfx::Mesh mesh = SplitPlanarGrid(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(mesh.GenerateAdjacency(1e-4f));
    state.SetItemsProcessed(state.iterations() * mesh.NumFaces());
}

BENCHMARK(BM_AdjacencyExact)->Arg(32)->Arg(128);
BENCHMARK(BM_AdjacencyEpsilon)->Arg(32)->Arg(128);

}  // namespace

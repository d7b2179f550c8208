// Face neighbour search for the outline: the all-pairs reference against the edge-hash search,
// on a 100 x 100 quad grid (20,000 triangles, every inner edge shared by two faces).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "scene/mesh_outline.h"

namespace {

std::vector<std::uint16_t> GridIndices(int side) {
    std::vector<std::uint16_t> indices;
    indices.reserve(static_cast<std::size_t>(side) * side * 6);
    const int row = side + 1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const auto a = static_cast<std::uint16_t>(y * row + x);
            const auto b = static_cast<std::uint16_t>(a + row);
            const auto c = static_cast<std::uint16_t>(b + 1);
            const auto d = static_cast<std::uint16_t>(a + 1);
            indices.insert(indices.end(), {a, b, c, a, c, d});
        }
    }
    return indices;
}

void BM_FaceNeighboursAllPairs(benchmark::State& state) {
    const std::vector<std::uint16_t> indices = GridIndices(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(scene::FindFaceNeighboursAllPairs(indices));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(indices.size() / 3));
}
BENCHMARK(BM_FaceNeighboursAllPairs)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_FaceNeighbours(benchmark::State& state) {
    const std::vector<std::uint16_t> indices = GridIndices(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(scene::FindFaceNeighbours(indices));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(indices.size() / 3));
}
BENCHMARK(BM_FaceNeighbours)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

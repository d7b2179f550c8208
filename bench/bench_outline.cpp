// The outline: the face neighbour search (the all-pairs reference against the edge-hash search,
// on a 100 x 100 quad grid of 20,000 triangles), and the work of every frame on a large model.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/editor/editor.h"
#include "bench/bench_model.h"
#include "gfx/math/math.h"
#include "gfx/xfile/xfile.h"
#include "scene/face_facing.h"
#include "scene/mesh_outline.h"
#include "scene/silhouette_edges.h"

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

// The outline's per-frame work on the editor benchmark's model (100 parts of 10,000 bumpy
// triangles, laid out 10 x 10 and seen from above one side), with the camera turning a quarter
// of a degree every frame so that nothing can be reused: which faces face the camera (/0 by
// projecting every vertex, /1 by the plane test), then the silhouette's edges. Counters split
// the two steps, per frame of all 100 parts.
namespace outline_frame {

struct Part {
    gfx::Mesh mesh;
    std::shared_ptr<const scene::OutlineData> data;
    gfx::Matrix world;
    std::vector<std::uint8_t> front;
    std::vector<gfx::Vec3> projected;
    std::vector<std::uint16_t> ends;
};

std::vector<Part>& Parts() {
    static std::vector<Part> parts = [] {
        std::vector<Part> made(bench_model::kParts);
        for (int i = 0; i < bench_model::kParts; ++i) {
            const std::string text = bench_model::GridMesh(i, 0.01f);
            auto loaded = gfx::LoadMeshFromXInMemory(std::as_bytes(std::span(text)));
            if (!loaded.ok()) std::abort();
            Part& part = made[i];
            part.mesh = std::move(loaded->mesh);
            part.data = scene::MakeOutlineData(part.mesh);
            part.world = gfx::MatrixTranslation(static_cast<float>(i % 10) * 0.55f, 0.0f,
                                                static_cast<float>(i / 10) * 1.05f);
            part.front.assign(part.mesh.NumFaces(), 0);
            part.projected.assign(part.mesh.NumVertices(), gfx::Vec3{});
            part.ends.assign(std::size_t{part.mesh.NumFaces()} * 6, 0);
        }
        return made;
    }();
    return parts;
}

void BM_OutlineFrame(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    std::vector<Part>& parts = Parts();
    const gfx::Matrix projection = app::EditorProjection(640, 480);
    const gfx::Vec3 target{3.0f, 0.0f, 5.75f}, start{-4.8f, 8.2f, 5.75f};
    const bool byPlane = state.range(0) != 0;
    double facing = 0, silhouette = 0;
    std::size_t lines = 0;
    int frame = 0;
    for (auto _ : state) {
        const float angle = 0.0044f * static_cast<float>(++frame);
        const gfx::Vec3 arm = start - target;
        const gfx::Vec3 eye{target.x + arm.x * std::cos(angle) - arm.z * std::sin(angle), start.y,
                            target.z + arm.x * std::sin(angle) + arm.z * std::cos(angle)};
        const gfx::Matrix view =
            gfx::MatrixMultiply(gfx::MatrixLookAtLH(eye, target, {0, 1, 0}), projection);
        lines = 0;
        for (Part& part : parts) {
            const gfx::Matrix toScreen = gfx::MatrixMultiply(part.world, view);
            const scene::FacingTarget faces{part.mesh.Indices(), part.front, part.projected};
            const Clock::time_point begin = Clock::now();
            if (byPlane) {
                scene::MarkFacingFaces(toScreen, *part.data, faces);
            } else {
                scene::MarkFacingFacesByProjection(toScreen, *part.data, faces);
            }
            const Clock::time_point marked = Clock::now();
            lines += scene::CollectSilhouetteEdges(part.front, *part.data, part.mesh.Indices(),
                                                   part.ends.data());
            facing += std::chrono::duration<double>(marked - begin).count();
            silhouette += std::chrono::duration<double>(Clock::now() - marked).count();
        }
    }
    const auto perFrame = benchmark::Counter::kAvgIterations;
    state.counters["facing_ms"] = benchmark::Counter(facing * 1e3, perFrame);
    state.counters["silhouette_ms"] = benchmark::Counter(silhouette * 1e3, perFrame);
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_OutlineFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace outline_frame

}  // namespace

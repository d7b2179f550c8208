// Opening a full model: 100 parts whose meshes total a million triangles, read from text .x
// files through the part file, as the editor's open command does, every file parsed.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/core/documents.h"
#include "app/core/session.h"
#include "bench/bench_model.h"
#include "framework/debug_log.h"

namespace {

namespace fs = std::filesystem;

void BM_OpenHundredPartModel(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "posewrighter_bench_model";
    const std::string partFile = bench_model::WriteModel(dir);
    framework::ProcessLog().SetPath("/dev/null");
    std::unique_ptr<app::Session> session;
    for (auto _ : state) {
        // A fresh session each time: its mesh cache would spare a second open the parsing.
        state.PauseTiming();
        session.reset();
        session = std::make_unique<app::Session>();
        state.ResumeTiming();
        if (!app::OpenPartFile(session->model, partFile)) state.SkipWithError("open failed");
    }
    std::int64_t triangles = 0;
    for (int i = 0; i < session->model.parts.count; ++i) {
        triangles += session->model.scene.mesh[i].d3dMesh->NumFaces();
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["triangles/s"] =
        benchmark::Counter(static_cast<double>(triangles) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    session.reset();
    framework::ProcessLog().SetPath("");
    fs::remove_all(dir);
}
BENCHMARK(BM_OpenHundredPartModel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

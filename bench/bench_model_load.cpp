// Opening a full model: 100 parts whose meshes total a million triangles, read from text .x
// files through the part file, as the editor's open command does, every file parsed. Beside it,
// the peer library merely reading the same 100 files.
//
// Counters of BM_OpenHundredPartModel:
//   triangles           triangles of the open model;
//   bytes_per_triangle  resident memory the open model holds (the process's resident size after
//                       the open minus before it, freed memory given back to the system before
//                       each reading), over its triangles.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/core/documents.h"
#include "app/core/session.h"
#include "bench/bench_model.h"
#include "framework/debug_log.h"

#ifdef POSEWRIGHTER_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace {

namespace fs = std::filesystem;

fs::path ModelFolder() {
    return fs::temp_directory_path() / "posewrighter_bench_model";
}

// Resident bytes of this process after freed heap memory has been handed back.
std::int64_t ResidentBytes() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<std::int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

void BM_OpenHundredPartModel(benchmark::State& state) {
    const fs::path dir = ModelFolder();
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
    // The memory once more, untimed: handing freed memory back would make the next open fault
    // its pages in afresh.
    session.reset();
    session = std::make_unique<app::Session>();
    const std::int64_t before = ResidentBytes();
    if (!app::OpenPartFile(session->model, partFile)) state.SkipWithError("open failed");
    const std::int64_t held = ResidentBytes() - before;
    std::int64_t triangles = 0;
    for (int i = 0; i < session->model.parts.count; ++i) {
        triangles += session->model.scene.mesh[i].d3dMesh->NumFaces();
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["triangles/s"] =
        benchmark::Counter(static_cast<double>(triangles) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["bytes_per_triangle"] =
        triangles > 0 ? static_cast<double>(held) / static_cast<double>(triangles) : 0;
    session.reset();
    framework::ProcessLog().SetPath("");
    fs::remove_all(dir);
}
// Wall time; the CPU column is the whole process's (the open prepares files on several threads).
BENCHMARK(BM_OpenHundredPartModel)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

#ifdef POSEWRIGHTER_HAVE_ASSIMP
// The peer library reads the same 100 files, triangulating, one after another; nothing more.
void BM_PeerOpenHundredPartModel(benchmark::State& state) {
    const fs::path dir = ModelFolder();
    bench_model::WriteModel(dir);
    std::int64_t triangles = 0;
    for (auto _ : state) {
        triangles = 0;
        for (int i = 0; i < bench_model::kParts; ++i) {
            const std::string path = (dir / ("part" + std::to_string(i) + ".x")).string();
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate);
            if (scene == nullptr) {
                state.SkipWithError(importer.GetErrorString());
                return;
            }
            for (unsigned m = 0; m < scene->mNumMeshes; ++m)
                triangles += scene->mMeshes[m]->mNumFaces;
        }
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    fs::remove_all(dir);
}
BENCHMARK(BM_PeerOpenHundredPartModel)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
#endif

}  // namespace

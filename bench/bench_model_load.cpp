// Opening a full model: 100 parts whose meshes total a million triangles, read from text .x
// files through the part file, as the editor's open command does.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/session.h"
#include "files/documents.h"
#include "files/part_file.h"
#include "framework/debug_log.h"

namespace {

namespace fs = std::filesystem;

constexpr int kParts = 100;
constexpr int kColumns = 50, kRows = 100;  // 50 x 100 quads = 10,000 triangles a part

// A bumpy grid with per-vertex normals, the shape of a typical exported part.
std::string GridMesh(int seed) {
    std::ostringstream x;
    x << "xof 0302txt 0032\nMesh Grid" << seed << " {\n" << (kColumns + 1) * (kRows + 1) << ";\n";
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
            const float h = 0.01f * static_cast<float>((r * 7 + c * 13 + seed) % 17);
            x << static_cast<float>(c) * 0.02f << ";" << h << ";" << static_cast<float>(r) * 0.02f << ";"
              << (r == kRows && c == kColumns ? ";\n" : ",\n");
        }
    }
    x << kColumns * kRows * 2 << ";\n";
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const int a = r * (kColumns + 1) + c, b = a + kColumns + 1;
            const bool last = r == kRows - 1 && c == kColumns - 1;
            x << "3;" << a << "," << b << "," << b + 1 << ";,\n3;" << a << "," << b + 1 << ","
              << a + 1 << (last ? ";;\n" : ";,\n");
        }
    }
    x << "MeshMaterialList {\n1;\n1;\n0;;\nMaterial {\n0.6;0.6;0.7;1.0;;\n10.0;\n0.2;0.2;0.2;;\n"
         "0.0;0.0;0.0;;\n}\n}\n}\n";
    return x.str();
}

// Writes the meshes and a part file chaining them five levels deep; returns the part file.
std::string WriteModel(const fs::path& dir) {
    fs::create_directories(dir);
    auto parts = std::make_unique<model::PartTable>();
    parts->count = kParts;
    for (int i = 0; i < kParts; ++i) {
        const std::string name = "part" + std::to_string(i) + ".x";
        std::ofstream(dir / name, std::ios::binary) << GridMesh(i);
        model::PartTable::SetField(parts->name[i], name);
        model::PartTable::SetField(parts->path[i], (dir / name).string());
        parts->parent[i] = static_cast<model::PartIndex>(i == 0 ? -1 : (i - 1) / 5 * 5);
        parts->level[i] = static_cast<std::int16_t>(i == 0 ? 0 : parts->level[parts->parent[i]] + 1);
    }
    const std::string partFile = (dir / "big.pwp").string();
    if (!files::WritePartFile(partFile, *parts)) std::abort();
    return partFile;
}

void BM_OpenHundredPartModel(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "posewrighter_bench_model";
    const std::string partFile = WriteModel(dir);
    framework::ProcessLog().SetPath("/dev/null");
    auto session = std::make_unique<app::Session>();
    for (auto _ : state) {
        if (!files::OpenPartFile(session->model, partFile)) state.SkipWithError("open failed");
    }
    std::int64_t triangles = 0;
    for (int i = 0; i < session->model.parts.count; ++i) {
        triangles += session->model.parts.mesh[i].d3dMesh->NumFaces();
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["triangles/s"] = benchmark::Counter(
        static_cast<double>(triangles) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    session.reset();
    framework::ProcessLog().SetPath("");
    fs::remove_all(dir);
}
BENCHMARK(BM_OpenHundredPartModel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// Loading speed of the glTF and OBJ readers: 50 generated files of 20,000 triangles each
// (1,000,000 triangles) of either type, the same wavy grids as bench_xfile with normals and
// texture coordinates, read from disk. When the Open Asset Import Library is present the same
// files go through it in the same run, alternating with the reader (BM_VersusPeer gives the
// ratio: /0 .glb, /1 .obj). The reader is asked for what the editor's open asks of it: the mesh
// without face adjacency, which the peer is not asked for either (BM_Load/2 and /3 make it too).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_grid.h"
#include "bench/bench_peer.h"
#include "gfx/meshfile/mesh_file.h"

#ifdef POSEWRIGHTER_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace {

using bench_grid::Grid;
using bench_grid::kCells;
using bench_grid::kFiles;
using bench_grid::kSide;
using bench_grid::kTrianglesPerFile;
using bench_grid::MakeGrid;

std::string ObjFile(const Grid& g) {
    std::string out = "o Surface\n";
    char line[128];
    const auto append = [&](const char* format, auto... values) {
        const int n = std::snprintf(line, sizeof line, format, values...);
        out.append(line, static_cast<std::size_t>(n));
    };
    for (std::size_t v = 0; v < g.positions.size(); v += 3) {
        append("v %.6f %.6f %.6f\n", double(g.positions[v]), double(g.positions[v + 1]),
               double(g.positions[v + 2]));
    }
    for (std::size_t v = 0; v < g.normals.size(); v += 3) {
        append("vn %.6f %.6f %.6f\n", double(g.normals[v]), double(g.normals[v + 1]),
               double(g.normals[v + 2]));
    }
    for (std::size_t v = 0; v < g.uvs.size(); v += 2) {
        append("vt %.6f %.6f\n", double(g.uvs[v]), double(g.uvs[v + 1]));
    }
    for (std::size_t t = 0; t < g.triangles.size(); t += 3) {
        const unsigned a = g.triangles[t] + 1, b = g.triangles[t + 1] + 1,
                       c = g.triangles[t + 2] + 1;
        append("f %u/%u/%u %u/%u/%u %u/%u/%u\n", a, a, a, b, b, b, c, c, c);
    }
    return out;
}

// One buffer: positions, normals, texture coordinates, 16-bit indices.
std::string GlbFile(const Grid& g) {
    std::string bin;
    const auto add = [&bin](const auto& values) {
        const std::size_t offset = bin.size();
        bin.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(values[0]));
        while (bin.size() % 4 != 0) bin += '\0';
        return std::to_string(offset) +
               ",\"byteLength\":" + std::to_string(values.size() * sizeof(values[0]));
    };
    std::vector<std::uint16_t> indices(g.triangles.begin(), g.triangles.end());
    const std::string views[] = {add(g.positions), add(g.normals), add(g.uvs), add(indices)};
    const std::size_t vertices = g.positions.size() / 3;
    std::string json =
        "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
        "\"nodes\":[{\"mesh\":0}],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,"
        "\"NORMAL\":1,\"TEXCOORD_0\":2},\"indices\":3}]}],\"bufferViews\":[";
    for (int i = 0; i < 4; ++i) {
        json += std::string(i ? "," : "") + "{\"buffer\":0,\"byteOffset\":" + views[i] + "}";
    }
    json +=
        "],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"type\":\"VEC3\",\"count\":" +
        std::to_string(vertices) + ",\"min\":[0,0,-1],\"max\":[10,10,1]}," +
        "{\"bufferView\":1,\"componentType\":5126,\"type\":\"VEC3\",\"count\":" +
        std::to_string(vertices) + "}," +
        "{\"bufferView\":2,\"componentType\":5126,\"type\":\"VEC2\",\"count\":" +
        std::to_string(vertices) + "}," +
        "{\"bufferView\":3,\"componentType\":5123,\"type\":\"SCALAR\",\"count\":" +
        std::to_string(indices.size()) +
        "}],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]}";
    while (json.size() % 4 != 0) json += ' ';
    std::string out;
    const auto put = [&out](std::uint32_t value) {
        out.append(reinterpret_cast<const char*>(&value), 4);
    };
    out += "glTF";
    put(2);
    put(static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
    put(static_cast<std::uint32_t>(json.size()));
    out += "JSON" + json;
    put(static_cast<std::uint32_t>(bin.size()));
    out += std::string("BIN\0", 4) + bin;
    return out;
}

struct Corpus {
    std::vector<std::string> glb, obj;  // paths
};

const Corpus& GetCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        const auto dir = std::filesystem::temp_directory_path() / "posewrighter_bench_gltf_obj";
        std::filesystem::create_directories(dir);
        for (int f = 0; f < kFiles; ++f) {
            const Grid grid = MakeGrid(f);
            const auto glb = dir / ("surface" + std::to_string(f) + ".glb");
            const auto obj = dir / ("surface" + std::to_string(f) + ".obj");
            std::ofstream(glb, std::ios::binary) << GlbFile(grid);
            std::ofstream(obj, std::ios::binary) << ObjFile(grid);
            c.glb.push_back(glb.string());
            c.obj.push_back(obj.string());
        }
        return c;
    }();
    return corpus;
}

const std::vector<std::string>& Inputs(std::int64_t kind) {
    return kind % 2 == 0 ? GetCorpus().glb : GetCorpus().obj;
}

gfx::Adjacency AdjacencyOf(std::int64_t kind) {
    return kind >= 2 ? gfx::Adjacency::kMake : gfx::Adjacency::kSkip;
}

void SetCounters(benchmark::State& state) {
    state.counters["triangles/s"] =
        benchmark::Counter(double(state.iterations()) * double(kFiles * kTrianglesPerFile),
                           benchmark::Counter::kIsRate);
}

// /0 .glb, /1 .obj, as the editor's open reads them; /2 and /3 with face adjacency.
void BM_Load(benchmark::State& state) {
    const std::vector<std::string>& inputs = Inputs(state.range(0));
    const gfx::Adjacency adjacency = AdjacencyOf(state.range(0));
    for (auto _ : state) {
        for (const std::string& path : inputs) {
            auto loaded = gfx::LoadMeshFile(path, gfx::FindBesideWithEitherSlash, adjacency);
            if (!loaded.ok() || loaded->mesh.NumFaces() != kTrianglesPerFile) {
                state.SkipWithError(loaded.ok() ? "wrong triangle count" : loaded.error().c_str());
                return;
            }
            benchmark::DoNotOptimize(loaded);
        }
    }
    SetCounters(state);
}
BENCHMARK(BM_Load)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

#ifdef POSEWRIGHTER_HAVE_ASSIMP
// The reader and the peer in turn on the same files (bench/bench_peer.h).
void BM_VersusPeer(benchmark::State& state) {
    bench_peer::TimeAgainstPeer(
        state, Inputs(state.range(0)),
        [](const std::string& path) {
            auto loaded =
                gfx::LoadMeshFile(path, gfx::FindBesideWithEitherSlash, gfx::Adjacency::kSkip);
            benchmark::DoNotOptimize(loaded);
            return loaded.ok() ? std::string() : loaded.error();
        },
        [](const std::string& path) {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate);
            benchmark::DoNotOptimize(scene);
            return scene != nullptr ? std::string() : std::string(importer.GetErrorString());
        });
}
BENCHMARK(BM_VersusPeer)->DenseRange(0, 1)->MinTime(2)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

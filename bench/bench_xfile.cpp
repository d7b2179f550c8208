// Loading speed of the .x reader: 50 generated files of 20,000 triangles each (1,000,000
// triangles), as text and as binary twins, from memory and from disk, and one file of 80,000
// faces on the same three edges (BM_LoadOneEdgeFan). When the Open Asset
// Import Library is present the same files go through it in the same run, alone and
// alternating with the reader (BM_VersusPeer, which gives the ratio).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "bench/bench_grid.h"
#include "bench/bench_peer.h"
#include "gfx/xfile/xfile.h"

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

void AppendF(std::string& out, const char* format, double value) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(n));
}

void AppendFaces(std::string& out, const Grid& g) {
    out += std::to_string(g.triangles.size() / 3) + ";\n";
    for (std::size_t t = 0; t < g.triangles.size(); t += 3) {
        out += "3;" + std::to_string(g.triangles[t]) + "," + std::to_string(g.triangles[t + 1]) +
               "," + std::to_string(g.triangles[t + 2]);
        out += t + 3 < g.triangles.size() ? ";,\n" : ";;\n";
    }
}

void AppendVectors(std::string& out, const std::vector<float>& values, int size) {
    const std::size_t count = values.size() / size;
    out += std::to_string(count) + ";\n";
    for (std::size_t v = 0; v < count; ++v) {
        for (int k = 0; k < size; ++k) AppendF(out, "%.6f;", values[v * size + k]);
        out += v + 1 < count ? ",\n" : ";\n";
    }
}

std::string TextFile(const Grid& g) {
    std::string out = "xof 0302txt 0032\nFrame Root {\nMesh Surface {\n";
    AppendVectors(out, g.positions, 3);
    AppendFaces(out, g);
    out += "MeshNormals {\n";
    AppendVectors(out, g.normals, 3);
    AppendFaces(out, g);
    out += "}\nMeshTextureCoords {\n";
    AppendVectors(out, g.uvs, 2);
    out +=
        "}\nMeshMaterialList {\n1;\n1;\n0;;\nMaterial {\n0.8;0.8;0.8;1.0;;\n10.0;\n"
        "0.2;0.2;0.2;;\n0.0;0.0;0.0;;\nTextureFilename { \"surface.png\"; }\n}\n}\n}\n}\n";
    return out;
}

// Binary tokens, numbers grouped into lists the way binary writers do.
class BinaryWriter {
  public:
    void Token(std::uint16_t code) { Put(code, 2); }
    void Name(const std::string& name) {
        Token(1);
        Put(name.size(), 4);
        out_ += name;
    }
    void Ints(const std::vector<std::uint32_t>& values) {
        Token(6);
        Put(values.size(), 4);
        for (std::uint32_t v : values) Put(v, 4);
    }
    void Floats(const std::vector<float>& values) {
        Token(7);
        Put(values.size(), 4);
        for (float f : values) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            Put(bits, 4);
        }
    }
    void Faces(const Grid& g) {
        std::vector<std::uint32_t> list{static_cast<std::uint32_t>(g.triangles.size() / 3)};
        for (std::size_t t = 0; t < g.triangles.size(); t += 3) {
            list.insert(list.end(), {3, g.triangles[t], g.triangles[t + 1], g.triangles[t + 2]});
        }
        Ints(list);
    }
    std::string& out() { return out_; }

  private:
    void Put(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out_ += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    std::string out_ = "xof 0302bin 0032";
};

std::string BinaryFile(const Grid& g) {
    BinaryWriter w;
    const auto count = [](const std::vector<float>& v, std::size_t size) {
        return std::vector<std::uint32_t>{static_cast<std::uint32_t>(v.size() / size)};
    };
    w.Name("Frame");
    w.Name("Root");
    w.Token(10);
    w.Name("Mesh");
    w.Name("Surface");
    w.Token(10);
    w.Ints(count(g.positions, 3));
    w.Floats(g.positions);
    w.Faces(g);
    w.Name("MeshNormals");
    w.Token(10);
    w.Ints(count(g.normals, 3));
    w.Floats(g.normals);
    w.Faces(g);
    w.Token(11);
    w.Name("MeshTextureCoords");
    w.Token(10);
    w.Ints(count(g.uvs, 2));
    w.Floats(g.uvs);
    w.Token(11);
    w.Name("MeshMaterialList");
    w.Token(10);
    w.Ints({1, 1, 0});
    w.Name("Material");
    w.Token(10);
    w.Floats({0.8f, 0.8f, 0.8f, 1.0f, 10.0f, 0.2f, 0.2f, 0.2f, 0.0f, 0.0f, 0.0f});
    w.Token(11);
    w.Token(11);
    w.Token(11);
    w.Token(11);
    return std::move(w.out());
}

struct Corpus {
    std::vector<std::string> text, binary;
    std::vector<std::string> textPaths, binaryPaths;
    std::int64_t textBytes = 0, binaryBytes = 0;
};

const Corpus& GetCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        const auto dir = std::filesystem::temp_directory_path() / "posewrighter_bench_xfile";
        std::filesystem::create_directories(dir);
        for (int f = 0; f < kFiles; ++f) {
            const Grid grid = MakeGrid(f);
            c.text.push_back(TextFile(grid));
            c.binary.push_back(BinaryFile(grid));
            c.textBytes += static_cast<std::int64_t>(c.text.back().size());
            c.binaryBytes += static_cast<std::int64_t>(c.binary.back().size());
            for (bool binary : {false, true}) {
                const auto path =
                    dir / ("surface" + std::to_string(f) + (binary ? ".bin.x" : ".x"));
                std::ofstream(path, std::ios::binary) << (binary ? c.binary : c.text).back();
                (binary ? c.binaryPaths : c.textPaths).push_back(path.string());
            }
        }
        return c;
    }();
    return corpus;
}

void SetCounters(benchmark::State& state, std::int64_t bytes) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["triangles/s"] =
        benchmark::Counter(double(state.iterations()) * double(kFiles * kTrianglesPerFile),
                           benchmark::Counter::kIsRate);
}

void LoadFromMemory(benchmark::State& state, const std::vector<std::string>& files,
                    std::int64_t bytes) {
    for (auto _ : state) {
        for (const std::string& file : files) {
            auto loaded = gfx::LoadMeshFromXInMemory(std::as_bytes(std::span(file)));
            if (!loaded.ok() || loaded->mesh.NumFaces() != kTrianglesPerFile) {
                state.SkipWithError(loaded.ok() ? "wrong triangle count" : loaded.error().c_str());
                return;
            }
            benchmark::DoNotOptimize(loaded);
        }
    }
    SetCounters(state, bytes);
}

void BM_LoadText(benchmark::State& state) {
    LoadFromMemory(state, GetCorpus().text, GetCorpus().textBytes);
}
void BM_LoadBinary(benchmark::State& state) {
    LoadFromMemory(state, GetCorpus().binary, GetCorpus().binaryBytes);
}

void LoadFromDisk(benchmark::State& state, const std::vector<std::string>& paths,
                  std::int64_t bytes) {
    for (auto _ : state) {
        for (const std::string& path : paths) {
            auto loaded = gfx::LoadMeshFromX(path);
            if (!loaded.ok()) {
                state.SkipWithError(loaded.error().c_str());
                return;
            }
            benchmark::DoNotOptimize(loaded);
        }
    }
    SetCounters(state, bytes);
}

// The files are written before the timing.
void BM_LoadTextFromDisk(benchmark::State& state) {
    LoadFromDisk(state, GetCorpus().textPaths, GetCorpus().textBytes);
}
void BM_LoadBinaryFromDisk(benchmark::State& state) {
    LoadFromDisk(state, GetCorpus().binaryPaths, GetCorpus().binaryBytes);
}

BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTextFromDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinaryFromDisk)->Unit(benchmark::kMillisecond);

// The worst case for edge matching: 80,000 copies of one triangle, all wound alike, so each of
// its three edges is carried by 80,000 faces of which none pair (about 1 MB of text).
constexpr std::int64_t kFanFaces = 80000;

std::string OneEdgeFanFile() {
    std::string out =
        "xof 0302txt 0032\nMesh Fan {\n3;\n0.0;0.0;0.0;,\n1.0;0.0;0.0;,\n0.0;1.0;0.0;;\n";
    out += std::to_string(kFanFaces) + ";\n";
    for (std::int64_t f = 0; f < kFanFaces; ++f)
        out += f + 1 < kFanFaces ? "3;0,1,2;,\n" : "3;0,1,2;;\n";
    out += "}\n";
    return out;
}

void BM_LoadOneEdgeFan(benchmark::State& state) {
    const std::string file = OneEdgeFanFile();
    for (auto _ : state) {
        auto loaded = gfx::LoadMeshFromXInMemory(std::as_bytes(std::span(file)));
        if (!loaded.ok() || loaded->mesh.NumFaces() != kFanFaces) {
            state.SkipWithError(loaded.ok() ? "wrong triangle count" : loaded.error().c_str());
            return;
        }
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
    state.counters["triangles/s"] = benchmark::Counter(
        double(state.iterations()) * double(kFanFaces), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_LoadOneEdgeFan)->Unit(benchmark::kMillisecond);

#ifdef POSEWRIGHTER_HAVE_ASSIMP
void AssimpFromMemory(benchmark::State& state, const std::vector<std::string>& files,
                      std::int64_t bytes) {
    for (auto _ : state) {
        for (const std::string& file : files) {
            Assimp::Importer importer;
            const aiScene* scene =
                importer.ReadFileFromMemory(file.data(), file.size(), aiProcess_Triangulate, "x");
            if (scene == nullptr) {
                state.SkipWithError(importer.GetErrorString());
                return;
            }
            benchmark::DoNotOptimize(scene);
        }
    }
    SetCounters(state, bytes);
}

void BM_AssimpText(benchmark::State& state) {
    AssimpFromMemory(state, GetCorpus().text, GetCorpus().textBytes);
}
void BM_AssimpBinary(benchmark::State& state) {
    AssimpFromMemory(state, GetCorpus().binary, GetCorpus().binaryBytes);
}

void AssimpFromDisk(benchmark::State& state, const std::vector<std::string>& paths,
                    std::int64_t bytes) {
    for (auto _ : state) {
        for (const std::string& path : paths) {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate);
            if (scene == nullptr) {
                state.SkipWithError(importer.GetErrorString());
                return;
            }
            benchmark::DoNotOptimize(scene);
        }
    }
    SetCounters(state, bytes);
}

void BM_AssimpTextFromDisk(benchmark::State& state) {
    AssimpFromDisk(state, GetCorpus().textPaths, GetCorpus().textBytes);
}
void BM_AssimpBinaryFromDisk(benchmark::State& state) {
    AssimpFromDisk(state, GetCorpus().binaryPaths, GetCorpus().binaryBytes);
}

// The ratio itself, the reader and the peer in turn (bench/bench_peer.h): /0 text and /1 binary
// from memory, /2 text and /3 binary from disk.
void BM_VersusPeer(benchmark::State& state) {
    const Corpus& corpus = GetCorpus();
    const int kind = static_cast<int>(state.range(0));
    const bool binary = kind % 2 == 1, fromDisk = kind >= 2;
    const std::vector<std::string>& inputs = fromDisk
                                                 ? (binary ? corpus.binaryPaths : corpus.textPaths)
                                                 : (binary ? corpus.binary : corpus.text);
    bench_peer::TimeAgainstPeer(
        state, inputs,
        [fromDisk](const std::string& input) {
            auto loaded = fromDisk ? gfx::LoadMeshFromX(input)
                                   : gfx::LoadMeshFromXInMemory(std::as_bytes(std::span(input)));
            benchmark::DoNotOptimize(loaded);
            return loaded.ok() ? std::string() : loaded.error();
        },
        [fromDisk](const std::string& input) {
            Assimp::Importer importer;
            const aiScene* scene = fromDisk
                                       ? importer.ReadFile(input, aiProcess_Triangulate)
                                       : importer.ReadFileFromMemory(input.data(), input.size(),
                                                                     aiProcess_Triangulate, "x");
            benchmark::DoNotOptimize(scene);
            return scene != nullptr ? std::string() : std::string(importer.GetErrorString());
        });
}

BENCHMARK(BM_AssimpText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpTextFromDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpBinaryFromDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersusPeer)->DenseRange(0, 3)->MinTime(2)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

#pragma once
// The benchmarks' large model: 100 parts of 10,000 triangles each (a million in all), written as
// text .x grid meshes and a part file to a folder, to be opened as the editor opens a model.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "files/part_file.h"
#include "gfx/math/math.h"
#include "gfx/math/math_types.h"
#include "model/part_table.h"

namespace bench_model {

namespace fs = std::filesystem;

inline constexpr int kParts = 100;
inline constexpr int kColumns = 50, kRows = 100;  // 50 x 100 quads = 10,000 triangles a part
inline constexpr float kDefaultCell = 0.02f;      // a part then spans 1 x 2 units

// A bumpy grid in the XZ plane from its corner at the origin, with per-vertex normals, the
// shape of a typical exported part. `cell` is the quad's side.
inline std::string GridMesh(int seed, float cell = kDefaultCell) {
    std::ostringstream x;
    x << "xof 0302txt 0032\nMesh Grid" << seed << " {\n" << (kColumns + 1) * (kRows + 1) << ";\n";
    for (int r = 0; r <= kRows; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
            const float h = cell / 2 * static_cast<float>((r * 7 + c * 13 + seed) % 17);
            x << static_cast<float>(c) * cell << ";" << h << ";" << static_cast<float>(r) * cell
              << ";" << (r == kRows && c == kColumns ? ";\n" : ",\n");
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

// Each part i > 0 hangs from part (i - 1) / 5 * 5, so the tree is deep as well as wide.
inline int ParentOf(int part) {
    return part == 0 ? -1 : (part - 1) / 5 * 5;
}

// Writes the meshes and the part file; returns the part file's path. `worldPositions` (one a
// part, or empty for all at the origin) are where the parts stand in the default pose: the parts
// are unrotated at scale 1, so each default position is the offset from the parent's.
inline std::string WriteModel(const fs::path& dir, float cell = kDefaultCell,
                              const std::vector<gfx::Vec3>& worldPositions = {}) {
    fs::create_directories(dir);
    auto parts = std::make_unique<model::PartTable>();
    parts->count = kParts;
    for (int i = 0; i < kParts; ++i) {
        const std::string name = "part" + std::to_string(i) + ".x";
        std::ofstream(dir / name, std::ios::binary) << GridMesh(i, cell);
        model::PartTable::SetField(parts->name[i], name);
        model::PartTable::SetField(parts->path[i], (dir / name).string());
        const int parent = ParentOf(i);
        parts->parent[i] = static_cast<model::PartIndex>(parent);
        parts->level[i] = static_cast<std::int16_t>(parent < 0 ? 0 : parts->level[parent] + 1);
        if (!worldPositions.empty()) {
            const gfx::Vec3 from = parent < 0 ? gfx::Vec3{0, 0, 0} : worldPositions.at(parent);
            parts->defaultPosition[i] = worldPositions.at(i) - from;
        }
    }
    const std::string partFile = (dir / "big.pwp").string();
    if (!files::WritePartFile(partFile, *parts)) std::abort();
    return partFile;
}

}  // namespace bench_model

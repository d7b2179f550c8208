// libFuzzer target: the whole open path of a part file and the structural edits after it. The
// last input byte says how many of the bytes before it (up to 24) drive the edits; the rest is
// the part file. The file is read into a fresh model, its nodes rebuilt and meshes loaded as on
// opening (meshes named m.x are found in a folder made at start, any other mesh fails), then
// each edit of three bytes runs: add a child to a chosen part (a mesh that loads, one that does
// not, or a path no file could hold), delete a chosen part, swap two slots and back, or close.
// After every step the table must be a depth-first tree whose nodes are linked as its parent
// indices say, and every part that stays must keep its live position.

#include <stdlib.h>  // mkdtemp

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "editing/model.h"
#include "files/part_file.h"
#include "framework/debug_log.h"
#include "framework/texture_cache.h"
#include "model/part_tree.h"
#include "scene/mesh_object.h"

namespace {

using model::kMaxParts;
using model::PartIndex;

constexpr std::size_t kMaxEditBytes = 24;
constexpr int kTagKey = model::kMaxKeys - 1;  // key 16 carries each part's slot through an edit

// One triangle, no materials: cheap to load a hundred times.
constexpr std::string_view kTriangle =
    "xof 0302txt 0032\n"
    "Mesh Triangle {\n"
    "  3;\n"
    "  0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n"
    "  1;\n"
    "  3;0,1,2;;\n"
    "}\n";

class QuietHost : public editing::ModelHost {
  public:
    PartIndex selected = model::kNoPart;
    PartIndex SelectedPart() const override { return selected; }
    void SetSelectedPart(PartIndex part) override { selected = part; }
    void ShowMessage(std::string_view) override {}
    void PartTreeChanged(const model::PartTable&, bool) override {}
    void HistoryChanged(bool, bool) override {}
    void EditRestored(bool) override {}
    void MeshesChanged() override {}
};

framework::TextureCache& Textures() {
    static auto* textures = new framework::TextureCache;
    return *textures;
}

// The folder holding m.x, ending with "/": made on first use, removed at exit, and the mesh
// must load from it.
const std::string& MeshFolder() {
    static const std::string* folder = [] {
        auto* name = new std::string(
            (std::filesystem::temp_directory_path() / "fuzz_open_model.XXXXXX").string());
        if (::mkdtemp(name->data()) == nullptr) __builtin_trap();
        *name += '/';
        std::atexit([] { std::filesystem::remove_all(MeshFolder()); });
        std::ofstream(*name + "m.x", std::ios::binary) << kTriangle;
        auto probe = std::make_unique<scene::MeshObject>();
        if (!probe->LoadFromFile(Textures(), *name + "m.x", 0, true, 1)) __builtin_trap();
        return name;
    }();
    return *folder;
}

void CheckTree(const editing::Model& m) {
    const model::PartTable& parts = m.parts;
    const editing::PartScene& scene = m.scene;
    if (!model::TreeFault(parts).empty()) __builtin_trap();
    for (int i = 0; i < parts.count; ++i) {
        const scene::TransformNode* parent = i == 0 ? nullptr : &scene.node[parts.parent[i]];
        if (scene.node[i].parent != parent || scene.node[i].mesh != &scene.mesh[i]) {
            __builtin_trap();
        }
    }
}

// Positions go through a division by the model scale and back on every rebuild: only those
// the rebuild can represent are compared, within a few float steps.
bool Comparable(float value, float scale) {
    return std::fabs(value) * std::max(1.0f, 1.0f / scale) < 1e30f;
}
bool Near(float a, float b) {
    return std::fabs(a - b) <= 1e-4f * std::max(1.0f, std::fabs(b));
}

// Live positions by slot, with each slot's number + 1 written into the tag key.
std::array<gfx::Vec3, kMaxParts> TagParts(editing::Model& m) {
    std::array<gfx::Vec3, kMaxParts> positions{};
    for (int i = 0; i < m.parts.count; ++i) {
        positions[i] = m.scene.node[i].GetPosition();
        m.animation.keyPosition[kTagKey][i] = {static_cast<float>(i + 1), 0, 0};
    }
    return positions;
}

// Every part that has a tag (a new part has none) is where it was before the edit.
void CheckPositionsKept(const editing::Model& m, const std::array<gfx::Vec3, kMaxParts>& before) {
    for (int i = 0; i < m.parts.count; ++i) {
        const int from = static_cast<int>(m.animation.keyPosition[kTagKey][i].x) - 1;
        if (from < 0) continue;
        const gfx::Vec3 was = before[from];
        const gfx::Vec3 now = m.scene.node[i].GetPosition();
        const float scale = m.parts.scale;
        if (!Comparable(was.x, scale) || !Comparable(was.y, scale) || !Comparable(was.z, scale)) {
            continue;
        }
        if (!Near(now.x, was.x) || !Near(now.y, was.y) || !Near(now.z, was.z)) __builtin_trap();
    }
}

// The fields a swap exchanges, as bytes.
std::string SwappedFields(const editing::Model& m) {
    std::string bytes;
    const auto append = [&bytes](const auto&... fields) {
        (bytes.append(reinterpret_cast<const char*>(&fields), sizeof fields), ...);
    };
    const model::PartTable& p = m.parts;
    append(p.name, p.path, p.parent, p.level, p.defaultPosition, p.defaultOrientation,
           m.scene.rebuildPosition, m.scene.rebuildOrientation, m.animation.keyPosition,
           m.animation.keyOrientation);
    return bytes;
}

void AddChild(editing::Model& m, QuietHost& host, std::uint8_t which, std::uint8_t mesh) {
    host.selected = m.parts.count == 0 || which == 255
                        ? model::kNoPart
                        : static_cast<PartIndex>(which % m.parts.count);
    const std::string names[] = {"m.x", "missing.x", "bad\"name.x"};
    const auto before = TagParts(m);
    m.AddChildPart(MeshFolder() + names[mesh % 3]);
    CheckTree(m);
    CheckPositionsKept(m, before);
}

void Delete(editing::Model& m, QuietHost& host, std::uint8_t which) {
    if (m.parts.count == 0) return;
    host.selected = static_cast<PartIndex>(which % m.parts.count);
    const auto before = TagParts(m);
    m.DeletePart();
    CheckTree(m);
    CheckPositionsKept(m, before);
}

// A swap is a step of the edits that leaves parent indices to its caller: swapped back, every
// field must be as it was.
void SwapAndBack(editing::Model& m, std::uint8_t a, std::uint8_t b) {
    const std::string before = SwappedFields(m);
    m.SwapParts(a % kMaxParts, b % kMaxParts);
    m.SwapParts(a % kMaxParts, b % kMaxParts);
    if (SwappedFields(m) != before) __builtin_trap();
    CheckTree(m);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    framework::ProcessLog().Discard();  // a reason per failed input is noise here
    if (size == 0) return 0;
    const std::size_t editBytes =
        std::min<std::size_t>(data[size - 1] % (kMaxEditBytes + 1), size - 1);
    const std::size_t fileBytes = size - 1 - editBytes;
    const std::uint8_t* edits = data + fileBytes;

    QuietHost host;
    auto m = std::make_unique<editing::Model>(Textures(), host);
    m->ResetRebuildPose();
    m->animation.ClearAnimation();
    const std::string_view file(reinterpret_cast<const char*>(data), fileBytes);
    if (files::ParsePartFile(file, m->parts).ok()) {
        m->documentFolder = MeshFolder();
        m->OpenLoadedTable();
    } else {
        m->AbandonTable();
    }
    CheckTree(*m);

    for (std::size_t at = 0; at + 3 <= editBytes; at += 3) {
        const std::uint8_t op = edits[at], a = edits[at + 1], b = edits[at + 2];
        switch (op % 4) {
            case 0:
                AddChild(*m, host, a, b);
                break;
            case 1:
                Delete(*m, host, a);
                break;
            case 2:
                SwapAndBack(*m, a, b);
                break;
            default:
                m->ClearParts();
                CheckTree(*m);
                break;
        }
    }
    return 0;
}

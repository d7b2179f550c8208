#pragma once
// Meshes already read and prepared, by file. A structural edit reloads every part; a file whose
// size, modification time and identity on disk are as they were when it was read is not parsed
// again, while a file that changed is read afresh.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"
#include "scene/mesh_outline.h"
#include "scene/mesh_pick_tree.h"

namespace scene {

// What loading a file makes before textures are looked up; shared, never changed once made.
struct PreparedMesh {
    gfx::Mesh mesh;  // converted and optimised, as parts draw it
    std::vector<gfx::ExtendedMaterial> materials;
    gfx::Vec3 boxMin, boxMax, sphereCentre;
    float sphereRadius = 0;
    bool optimizeFailed = false;                 // the unoptimised mesh was kept
    std::shared_ptr<const OutlineData> outline;  // null unless loaded with outline data
    MeshPickTree pickTree;
};

// A file's state on disk.
struct FileStamp {
    std::uint64_t size = 0, device = 0, inode = 0;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Nothing when the file cannot be examined (it is then simply read, or fails to be).
std::optional<FileStamp> StampOf(const std::string& path);

class MeshCache {
  public:
    // The mesh made from `path` with the same outline choice while the file had this stamp.
    std::shared_ptr<const PreparedMesh> Find(const std::string& path, bool outline,
                                             const FileStamp& stamp);
    void Store(const std::string& path, bool outline, const FileStamp& stamp,
               std::shared_ptr<const PreparedMesh> mesh);
    // True when Find would give a mesh now; the entry's round is left as it is.
    bool Holds(const std::string& path, bool outline, const FileStamp& stamp) const;

    // Entries neither found nor stored between BeginRound and EndRound are dropped, so that the
    // cache holds only what the last full reload used.
    void BeginRound() { ++round_; }
    void EndRound();
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        FileStamp stamp;
        std::shared_ptr<const PreparedMesh> mesh;
        std::uint64_t round = 0;
    };
    static std::string Key(const std::string& path, bool outline);

    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t round_ = 0;
};

}  // namespace scene

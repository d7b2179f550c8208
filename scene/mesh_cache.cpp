#include "scene/mesh_cache.h"

#include <sys/stat.h>

#include <utility>

namespace scene {

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    FileStamp stamp;
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.modifiedNs = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                       static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    return stamp;
}

std::string MeshCache::Key(const std::string& path, bool outline) {
    return (outline ? "o:" : "p:") + path;
}

std::shared_ptr<const PreparedMesh> MeshCache::Find(const std::string& path, bool outline,
                                                    const FileStamp& stamp) {
    const auto found = entries_.find(Key(path, outline));
    if (found == entries_.end()) return nullptr;
    if (!(found->second.stamp == stamp)) {
        entries_.erase(found);  // changed on disk: the caller reads it again
        return nullptr;
    }
    found->second.round = round_;
    return found->second.mesh;
}

void MeshCache::Store(const std::string& path, bool outline, const FileStamp& stamp,
                      std::shared_ptr<const PreparedMesh> mesh) {
    entries_[Key(path, outline)] = Entry{stamp, std::move(mesh), round_};
}

bool MeshCache::Holds(const std::string& path, bool outline, const FileStamp& stamp) const {
    const auto found = entries_.find(Key(path, outline));
    return found != entries_.end() && found->second.stamp == stamp;
}

void MeshCache::EndRound() {
    std::erase_if(entries_, [&](const auto& entry) { return entry.second.round != round_; });
}

}  // namespace scene

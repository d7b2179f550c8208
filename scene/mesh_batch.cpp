#include "scene/mesh_batch.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace scene {

MeshBatch::MeshBatch(const std::vector<std::string>& paths, bool buildOutline,
                     const MeshCache* cache)
    : buildOutline_(buildOutline) {
    std::vector<std::pair<std::string, std::optional<FileStamp>>> wanted;
    for (const std::string& path : paths) {
        if (index_.contains(path)) continue;
        std::optional<FileStamp> stamp = StampOf(path);
        if (cache != nullptr && stamp && cache->Holds(path, buildOutline, *stamp)) continue;
        index_.emplace(path, wanted.size());
        wanted.emplace_back(path, stamp);
    }
    jobs_ = std::vector<Job>(wanted.size());
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        jobs_[i].path = std::move(wanted[i].first);
        jobs_[i].result.stamp = wanted[i].second;
    }

    const std::size_t threads =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs_.size());
    try {
        for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads, or none: Take prepares what no thread has begun.
    }
}

MeshBatch::~MeshBatch() {
    stop_ = true;
    threads_.clear();  // joins
}

void MeshBatch::Work() {
    while (!stop_) {
        const std::size_t i = next_++;
        if (i >= jobs_.size()) return;
        Run(jobs_[i]);
    }
}

void MeshBatch::Run(Job& job) {
    if (job.claimed.exchange(true)) return;
    PreparedFile file = ReadAndPrepareMeshFile(job.path, buildOutline_);
    {
        const std::lock_guard lock(mutex_);
        job.result.file = std::move(file);
        job.done = true;
    }
    finished_.notify_all();
}

std::optional<MeshBatch::Result> MeshBatch::Take(const std::string& path) {
    const auto found = index_.find(path);
    if (found == index_.end()) return std::nullopt;
    Job& job = jobs_[found->second];
    Run(job);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return job.done; });
    return job.result;
}

}  // namespace scene

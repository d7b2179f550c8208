#pragma once
// Mesh files read and prepared on worker threads while the calling thread takes the results in
// its own order: opening a model prepares its parts' files side by side, and the calling thread
// does what needs the device, the texture cache and the debug log, part by part, as before.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "scene/mesh_cache.h"
#include "scene/mesh_prepare.h"

namespace scene {

class MeshBatch {
  public:
    // What the batch made of one file: its stamp taken before the read, and the result.
    struct Result {
        std::optional<FileStamp> stamp;
        PreparedFile file;
    };

    // Starts preparing every distinct file of `paths`, in the order first named, on as many
    // threads as the machine runs at once. A file `cache` holds as it is on disk now is left
    // out (the load finds it there).
    MeshBatch(const std::vector<std::string>& paths, bool buildOutline, const MeshCache* cache);
    // Stops the files not yet begun and waits for the threads.
    ~MeshBatch();
    MeshBatch(const MeshBatch&) = delete;
    MeshBatch& operator=(const MeshBatch&) = delete;

    bool BuildsOutline() const { return buildOutline_; }
    // The result for `path`, waiting until it is ready (prepared here when no thread has begun
    // it); nothing when the batch does not hold the file.
    std::optional<Result> Take(const std::string& path);

  private:
    struct Job {
        std::string path;
        Result result;
        std::atomic<bool> claimed{false};
        bool done = false;  // under mutex_
    };

    void Work();
    // Prepares the job unless another thread has claimed it.
    void Run(Job& job);

    bool buildOutline_;
    std::vector<Job> jobs_;
    std::unordered_map<std::string, std::size_t> index_;  // path -> jobs_
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
    std::vector<std::jthread> threads_;  // last: joined before the jobs go
};

}  // namespace scene

#pragma once
// Works out a frame's silhouettes on worker threads while the caller draws. The caller lists the
// meshes whose silhouettes must be worked out (MeshObject::PrepareSilhouette said kWork), starts
// the batch, draws, and before drawing a mesh's lines waits for that mesh's silhouette. Meshes
// are taken in the order listed, so the first waited for is the first done. The workers only
// call MeshObject::WorkOutSilhouette, which touches nothing but that mesh's own outline arrays;
// every call on the graphics device stays with the caller.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace scene {

class MeshObject;

class SilhouettePool {
  public:
    // One worker for every hardware thread besides the caller's (none on a single core).
    SilhouettePool();
    // `workers` threads; with none, the caller works out every silhouette as it waits for it.
    explicit SilhouettePool(unsigned workers);
    SilhouettePool(const SilhouettePool&) = delete;
    SilhouettePool& operator=(const SilhouettePool&) = delete;
    // Finishes a batch under way and joins the workers.
    ~SilhouettePool();

    static unsigned DefaultWorkers();
    unsigned Workers() const { return static_cast<unsigned>(threads_.size()); }

    // Adds a mesh to the next batch and gives its place there (0, 1, ...). Only between batches.
    std::size_t Add(MeshObject& mesh);
    // Hands the listed meshes to the workers.
    void Start();
    // Returns once the silhouette of the mesh at `place` is worked out. While any mesh is left
    // untaken, the caller takes the next one itself instead of waiting.
    void Wait(std::size_t place);
    // Waits for every listed mesh and for the workers to go idle, and empties the list. Must run
    // before any listed mesh changes or goes.
    void Finish();

  private:
    void WorkerLoop();
    // Takes meshes in order until none is left.
    void TakeJobs();
    void Run(std::size_t place);

    std::vector<MeshObject*> jobs_;
    std::size_t count_ = 0;  // the meshes of the batch under way
    // One flag a place, set once its silhouette is worked out; grown, never shrunk.
    std::unique_ptr<std::atomic<std::uint8_t>[]> done_;
    std::size_t doneCapacity_ = 0;
    std::atomic<std::size_t> next_{0};  // the next place to take

    std::mutex mutex_;
    std::condition_variable wake_;  // a batch started, or the pool ends
    std::condition_variable idle_;  // a worker left a batch
    unsigned batch_ = 0;            // counts the batches started
    unsigned busy_ = 0;             // workers inside a batch
    bool open_ = false;             // between Start and Finish
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace scene

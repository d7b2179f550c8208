#include "scene/silhouette_pool.h"

#include "scene/mesh_object.h"

namespace scene {

unsigned SilhouettePool::DefaultWorkers() {
    const unsigned threads = std::thread::hardware_concurrency();
    return threads > 1 ? threads - 1 : 0;
}

SilhouettePool::SilhouettePool() : SilhouettePool(DefaultWorkers()) {}

SilhouettePool::SilhouettePool(unsigned workers) {
    threads_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { WorkerLoop(); });
}

SilhouettePool::~SilhouettePool() {
    Finish();
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

std::size_t SilhouettePool::Add(MeshObject& mesh) {
    jobs_.push_back(&mesh);
    return jobs_.size() - 1;
}

void SilhouettePool::Start() {
    count_ = jobs_.size();
    if (count_ > doneCapacity_) {
        done_ = std::make_unique<std::atomic<std::uint8_t>[]>(count_);
        doneCapacity_ = count_;
    }
    for (std::size_t i = 0; i < count_; ++i) done_[i].store(0, std::memory_order_relaxed);
    next_.store(0, std::memory_order_relaxed);
    // The workers read the batch only after taking the lock that publishes it.
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        ++batch_;
    }
    if (count_ > 0 && !threads_.empty()) wake_.notify_all();
}

void SilhouettePool::Run(std::size_t place) {
    jobs_[place]->WorkOutSilhouette();
    done_[place].store(1, std::memory_order_release);
    done_[place].notify_one();
}

void SilhouettePool::Wait(std::size_t place) {
    if (place >= count_) return;
    while (done_[place].load(std::memory_order_acquire) == 0) {
        // While a mesh is left untaken, the caller takes the next one itself rather than wait:
        // the one waited for when it is next, otherwise one that would be waited for later.
        std::size_t next = next_.load(std::memory_order_relaxed);
        if (next < count_) {
            if (next_.compare_exchange_weak(next, next + 1, std::memory_order_relaxed)) Run(next);
            continue;
        }
        done_[place].wait(0, std::memory_order_acquire);  // a worker has it
    }
}

void SilhouettePool::Finish() {
    for (std::size_t i = 0; i < count_; ++i) Wait(i);
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return busy_ == 0; });
        open_ = false;  // a worker that wakes late now sleeps on
    }
    jobs_.clear();
    count_ = 0;
}

void SilhouettePool::TakeJobs() {
    for (;;) {
        const std::size_t place = next_.fetch_add(1, std::memory_order_relaxed);
        if (place >= count_) return;
        Run(place);
    }
}

void SilhouettePool::WorkerLoop() {
    unsigned seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || (open_ && batch_ != seen); });
        if (stop_) return;
        seen = batch_;
        ++busy_;
        lock.unlock();
        TakeJobs();
        lock.lock();
        if (--busy_ == 0) idle_.notify_all();
    }
}

}  // namespace scene

#include "files/recovery/recovery_writer.h"

#include <chrono>

#include "framework/debug_log.h"

namespace files {

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void RecoveryWriter::Write(RecoveryCopy copy) {
    Post({false, std::move(copy)});
}

void RecoveryWriter::Remove() {
    Post({true, {}});
}

void RecoveryWriter::Post(Request request) {
    if (folder_.empty()) return;
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(request);
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

void RecoveryWriter::Flush() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !busy_; });
}

void RecoveryWriter::Run() {
    // Numbers that differ between runs, so a new copy never reuses a name the last run's copy
    // may still hold.
    number_ = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                         std::chrono::milliseconds(1));
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) return;
        Request request = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        const gfx::Status done = request.remove
                                     ? RemoveRecoveryCopy(folder_)
                                     : WriteRecoveryCopy(folder_, request.copy, ++number_);
        if (!done) {
            framework::LogMessage("Recovery copy not %s: %s\n",
                                  request.remove ? "removed" : "written", done.error().c_str());
        }
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace files

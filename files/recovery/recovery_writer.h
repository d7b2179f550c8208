#pragma once
// The recovery copy's disk work on a thread of its own, so that the editor's frame never waits
// for a write or an fsync. Requests replace one another: only the newest pending one is done,
// since it holds the whole state.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "files/recovery/recovery_copy.h"

namespace files {

// What the editor asks of the copy; the writer thread and tests both implement it.
class RecoverySink {
  public:
    virtual ~RecoverySink() = default;
    virtual void Write(RecoveryCopy copy) = 0;
    virtual void Remove() = 0;
    // Returns once every request made so far has been carried out.
    virtual void Flush() = 0;
};

class RecoveryWriter : public RecoverySink {
  public:
    // `folder` as RecoveryFolder gives it; an empty one makes every request do nothing.
    explicit RecoveryWriter(std::string folder) : folder_(std::move(folder)) {}
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;
    // Carries out the pending request, then ends the thread.
    ~RecoveryWriter() override;

    // The thread starts with the first request. Failures go to the debug log; the next request
    // tries again.
    void Write(RecoveryCopy copy) override;
    void Remove() override;
    void Flush() override;

  private:
    struct Request {
        bool remove = false;
        RecoveryCopy copy;
    };
    void Post(Request request);
    void Run();

    const std::string folder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    std::uint64_t number_ = 0;  // the documents' number of the newest copy written
    std::thread thread_;
};

}  // namespace files

#pragma once
// Keeps the recovery copy in step with the session while the editor runs. The frame calls Step
// with the millisecond clock: at most once a second it compares the whole document with the one
// it saw last; only after a change does it run the writers, and it judges from their bytes
// whether anything is unsaved. Each document is judged and kept on
// its own: one the writer refuses keeps its last bytes in the copy beside the other. The copy is
// then handed to the sink (a writer thread), or its removal when nothing is unsaved, so the disk
// is never touched on the frame's path.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/core/session.h"
#include "files/recovery/recovery_writer.h"

namespace app {

inline constexpr std::uint32_t kRecoveryIntervalMilliseconds = 1000;

class RecoveryKeeper {
  public:
    RecoveryKeeper(const Session& session, files::RecoverySink& sink);
    ~RecoveryKeeper();
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    // One frame at `now` (milliseconds, wrapping like PacerClock's). The first call only starts
    // the interval.
    void Step(std::uint32_t now);
    // The run ends: one last look whatever the clock, then waits until the disk has it. A quit
    // with unsaved work leaves the copy; one without removes it.
    void Finish();

    // Looks that found the documents changed and ran the writers.
    int formatted() const { return formatted_; }
    // Whether the newest request to the sink was a copy rather than a removal.
    bool copyKept() const { return copyKept_; }
    // Whether the last look found either document unsaved (what a save would write differs
    // from what was last opened or saved).
    bool unsaved() const { return modelUnsaved_ || animationUnsaved_; }
    // Each document on its own, as the last look found it.
    bool modelUnsaved() const { return modelUnsaved_; }
    bool animationUnsaved() const { return animationUnsaved_; }

  private:
    struct Seen;
    void Look();

    const Session& session_;
    files::RecoverySink& sink_;
    std::unique_ptr<Seen> seen_;  // none until the first look
    // Each document's newest bytes from its writer, for a look at which the writer refuses it.
    std::optional<std::string> lastModel_;
    std::optional<std::string> lastAnimation_;
    // The copy last handed to the sink, until a removal.
    std::optional<files::RecoveryCopy> lastSent_;
    bool started_ = false;
    std::uint32_t lastLook_ = 0;
    int formatted_ = 0;
    // A copy may be on disk from the last run (a restored one): the first look that finds
    // nothing unsaved removes it.
    bool copyKept_ = true;
    bool modelUnsaved_ = false;
    bool animationUnsaved_ = false;
};

}  // namespace app

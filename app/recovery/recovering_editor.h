#pragma once
// The editor's steps with what start-up opens and the recovery copy kept while it runs.
// Start-up: the editor starts (which resets the pose and the animation), then the copies left by
// editors that are gone are offered; the documents named on the command line open only when none
// was restored, since the restored work is what the user asked to continue. Each frame lets the
// keeper look at the clock; shutdown leaves the copy on disk exactly when work is unsaved.

#include <functional>
#include <string>

#include "app/core/application.h"
#include "app/core/frame_pacer.h"
#include "app/core/startup_documents.h"
#include "app/recovery/recovery_keeper.h"
#include "app/recovery/recovery_offer.h"

namespace app {

struct RecoveryPlace {
    std::string folder;                  // files::RecoveryFolder; empty = no copy is offered
    AskYesNo ask;                        // the start-up question
    std::function<std::string()> stamp;  // names a copy set aside
    std::string own;  // this editor's copy folder inside it; empty = none (a restore stays put)
};

class RecoveringEditor : public EditorSteps {
  public:
    RecoveringEditor(EditorSteps& editor, Session& session, StartupDocuments documents,
                     RecoveryKeeper& keeper, PacerClock& clock, RecoveryPlace place)
        : editor_(editor),
          session_(session),
          documents_(std::move(documents)),
          keeper_(keeper),
          clock_(clock),
          place_(std::move(place)) {}

    void Startup() override;
    void Frame(const framework::InputState& input) override;
    void Shutdown() override;

    RecoveryOutcome outcome() const { return outcome_; }

  private:
    EditorSteps& editor_;
    Session& session_;
    StartupDocuments documents_;
    RecoveryKeeper& keeper_;
    PacerClock& clock_;
    RecoveryPlace place_;
    RecoveryOutcome outcome_ = RecoveryOutcome::kNoCopy;
};

}  // namespace app

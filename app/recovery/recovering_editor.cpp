#include "app/recovery/recovering_editor.h"

#include "app/core/document_title.h"

namespace app {

void RecoveringEditor::Startup() {
    editor_.Startup();
    outcome_ = OfferLeftRecoveries(session_, place_.folder, place_.own, place_.ask,
                                   place_.stamp ? place_.stamp() : std::string("0"));
    if (outcome_ != RecoveryOutcome::kRestored) OpenStartupDocuments(session_, documents_);
    keeper_.Step(clock_.NowMilliseconds());
    editor_.ShowTitle(DocumentTitle(session_.documents.modelPath, keeper_.unsaved()));
}

void RecoveringEditor::Frame(const framework::InputState& input) {
    editor_.Frame(input);
    keeper_.Step(clock_.NowMilliseconds());
    editor_.ShowTitle(DocumentTitle(session_.documents.modelPath, keeper_.unsaved()));
}

void RecoveringEditor::Shutdown() {
    editor_.Shutdown();
    keeper_.Finish();
}

}  // namespace app

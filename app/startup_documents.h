#pragma once
// The documents named on the editor's command line, `posewrighter [MODEL.pwp [ANIM.pwa]]`,
// opened once the editor has started.

#include <span>
#include <string>

#include "app/application.h"
#include "model/model.h"

namespace app {

struct StartupDocuments {
    std::string model;      // empty = none
    std::string animation;  // empty = none
};

// The first two arguments after the program name that are not switches (anything starting with
// '-', and the sound switches "/3ds" and "/fx"): the model, then its animation. Further ones are
// ignored.
StartupDocuments StartupDocumentsFromArguments(std::span<const std::string> arguments);

// Opens the model, then, when that worked, the animation. Failures are shown by the documents'
// own notices; an animation without a model is not opened.
void OpenStartupDocuments(model::Model& model, const StartupDocuments& documents);

// The editor's steps with the documents opened right after its start-up, so that the start-up's
// reset of the pose and the animation comes first.
class DocumentOpeningEditor : public EditorSteps {
  public:
    DocumentOpeningEditor(EditorSteps& editor, model::Model& model, StartupDocuments documents)
        : editor_(editor), model_(model), documents_(std::move(documents)) {}

    void Startup() override {
        editor_.Startup();
        OpenStartupDocuments(model_, documents_);
    }
    void Frame() override { editor_.Frame(); }
    void Shutdown() override { editor_.Shutdown(); }

  private:
    EditorSteps& editor_;
    model::Model& model_;
    StartupDocuments documents_;
};

}  // namespace app

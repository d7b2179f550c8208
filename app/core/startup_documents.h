#pragma once
// The documents named on the editor's command line, `posewrighter [MODEL.pwp [ANIM.pwa]]`,
// opened once the editor has started.

#include <span>
#include <string>

#include "app/core/session.h"

namespace app {

struct StartupDocuments {
    std::string model;      // empty = none
    std::string animation;  // empty = none
};

// The first two arguments after the program name that are not switches (anything starting with
// '-', and the sound switches "/3ds" and "/fx"): the model, then its animation. Further ones are
// ignored.
StartupDocuments StartupDocumentsFromArguments(std::span<const std::string> arguments);

// Opens the model, then, when that worked, the animation, and notes in the session's document
// record what each now matches (nothing, when it was not named or not read). Failures are shown
// by the documents' own notices; an animation without a model is not opened.
void OpenStartupDocuments(Session& session, const StartupDocuments& documents);

}  // namespace app

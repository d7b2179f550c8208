#include "app/main/editor_probe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "panels/animation_panel.h"

namespace app {

void ReadPlayback(ProbeFacts& facts, const Session& session, const panels::ToolPanels& panels) {
    const panels::AnimationPanel* animation = panels.animationPanel();
    facts.keyShown = animation != nullptr ? animation->keyNumber() : 0;
    facts.playing = session.panels.playTicked;
}

std::unique_ptr<EditorProbe> EditorProbe::FromEnvironment(EditorSteps& editor, Sources sources) {
    const char* path = std::getenv(kProbeVariable);
    if (path == nullptr || *path == '\0') return nullptr;
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        std::fprintf(stderr, "posewrighter: %s: the probe file %s cannot be opened: %s\n",
                     kProbeVariable, path, std::strerror(errno));
        return nullptr;
    }
    return std::unique_ptr<EditorProbe>(new EditorProbe(editor, sources, file));
}

EditorProbe::EditorProbe(EditorSteps& editor, Sources sources, std::FILE* file)
    : editor_(editor), sources_(sources), file_(file), modal_([this](bool) { WriteLine(); }) {}

EditorProbe::~EditorProbe() {
    std::fclose(file_);
}

void EditorProbe::Startup() {
    editor_.Startup();
    WriteLine();
}

void EditorProbe::Frame() {
    editor_.Frame();
    ++frame_;
    WriteLine();
}

void EditorProbe::Shutdown() {
    editor_.Shutdown();
}

void EditorProbe::WriteLine() {
    ProbeFacts facts = SessionProbeFacts(sources_.session);
    facts.frame = frame_;
    ReadPlayback(facts, sources_.session, sources_.panels);
    facts.partUnsaved = sources_.keeper.modelUnsaved();
    facts.animationUnsaved = sources_.keeper.animationUnsaved();
    facts.modal = modal_.open();
    const std::string line = ProbeLine(facts) + "\n";
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

}  // namespace app

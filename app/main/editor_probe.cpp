#include "app/main/editor_probe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace app {

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

void EditorProbe::Frame(const framework::InputState& input) {
    editor_.Frame(input);
    ++frame_;
    WriteLine();
}

void EditorProbe::Shutdown() {
    editor_.Shutdown();
}

void EditorProbe::WriteLine() {
    ProbeFacts facts = SessionProbeFacts(sources_.session);
    facts.frame = frame_;
    facts.partUnsaved = sources_.keeper.modelUnsaved();
    facts.animationUnsaved = sources_.keeper.animationUnsaved();
    facts.modal = modal_.open();
    const std::string line = ProbeLine(facts) + "\n";
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

}  // namespace app

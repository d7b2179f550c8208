#include "app/editor/probe_line.h"

#include <array>
#include <string_view>

namespace app {

namespace {

constexpr std::array<std::string_view, 7> kHandleNames = {"idle",   "move-x", "move-y", "move-z",
                                                          "turn-x", "turn-y", "turn-z"};
constexpr std::array<std::string_view, 3> kLightNames = {"idle", "tilt", "turn"};

// The armed name for 1 .. n-1, "drag-" before it for the dragging values, 0 as the idle name.
template <std::size_t N>
std::string ModeName(std::int16_t mode, const std::array<std::string_view, N>& names,
                     std::int16_t dragging) {
    const int armed = mode > dragging ? mode - dragging : mode;
    const int count = static_cast<int>(N);
    if (armed < 0 || armed >= count || mode == dragging) return std::to_string(mode);
    const std::string name(names[static_cast<std::size_t>(armed)]);
    return mode > dragging ? "drag-" + name : name;
}

}  // namespace

ProbeFacts SessionProbeFacts(const Session& session) {
    ProbeFacts facts;
    facts.parts = session.model.parts.count;
    facts.selected = session.editor.SelectedPart;
    facts.handleMode = session.editor.HandleMode;
    facts.lightDragMode = session.editor.LightDragMode;
    facts.undoDepth = session.model.undo.size();
    return facts;
}

std::string HandleModeName(std::int16_t mode) {
    return ModeName(mode, kHandleNames, handle_mode::kDragging);
}

std::string LightDragModeName(std::int16_t mode) {
    return ModeName(mode, kLightNames, light_drag_mode::kDragging);
}

std::string ProbeLine(const ProbeFacts& facts) {
    std::string unsaved;
    if (facts.partUnsaved) unsaved = "part";
    if (facts.animationUnsaved) unsaved += unsaved.empty() ? "anim" : ",anim";
    if (unsaved.empty()) unsaved = "none";
    std::string line = "frame=" + std::to_string(facts.frame);
    line += " parts=" + std::to_string(facts.parts);
    line +=
        " selected=" + (facts.selected < 0 ? std::string("none") : std::to_string(facts.selected));
    line += " handle=" + HandleModeName(facts.handleMode);
    line += " light=" + LightDragModeName(facts.lightDragMode);
    line += " key=" + std::to_string(facts.keyShown);
    line += facts.playing ? " playing=1" : " playing=0";
    line += " undo=" + std::to_string(facts.undoDepth);
    line += " unsaved=" + unsaved;
    line += facts.modal ? " modal=1" : " modal=0";
    return line;
}

}  // namespace app

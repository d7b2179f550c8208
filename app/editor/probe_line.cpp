#include "app/editor/probe_line.h"

#include <array>
#include <string_view>

namespace app {

namespace {

constexpr std::array<std::string_view, 7> kHandleNames = {"idle",   "move-x", "move-y", "move-z",
                                                          "turn-x", "turn-y", "turn-z"};
constexpr std::array<std::string_view, 3> kLightNames = {"idle", "tilt", "turn"};

// The mode's name, "drag-" before it while dragging; idle is never dragged.
template <typename Mode, std::size_t N>
std::string ModeName(Mode mode, DragPhase phase, const std::array<std::string_view, N>& names) {
    const int index = static_cast<int>(mode);
    if (index < 0 || index >= static_cast<int>(N)) return std::to_string(index);
    const std::string name(names[static_cast<std::size_t>(index)]);
    return phase == DragPhase::kDragging && index != 0 ? "drag-" + name : name;
}

}  // namespace

ProbeFacts SessionProbeFacts(const Session& session) {
    ProbeFacts facts;
    facts.parts = session.model.parts.count;
    facts.selected = session.editor.SelectedPart;
    facts.handle = session.editor.Handle;
    facts.handlePhase = session.editor.HandlePhase;
    facts.hovered = session.editor.HoveredHandle;
    facts.lightDrag = session.editor.LightDrag;
    facts.lightDragPhase = session.editor.LightDragPhase;
    facts.keyShown = session.shownKey();
    facts.playing = session.playing();
    facts.onion = session.panels.onionTicked;
    facts.undoDepth = session.model.history.undoSize();
    facts.redoDepth = session.model.history.redoSize();
    return facts;
}

std::string HandleModeName(HandleMode mode, DragPhase phase) {
    return ModeName(mode, phase, kHandleNames);
}

std::string LightDragModeName(LightDragMode mode, DragPhase phase) {
    return ModeName(mode, phase, kLightNames);
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
    line += " handle=" + HandleModeName(facts.handle, facts.handlePhase);
    line += " hover=" + HandleModeName(facts.hovered, DragPhase::kArmed);
    line += " light=" + LightDragModeName(facts.lightDrag, facts.lightDragPhase);
    line += " key=" + std::to_string(facts.keyShown);
    line += facts.playing ? " playing=1" : " playing=0";
    line += facts.onion ? " onion=1" : " onion=0";
    line += " undo=" + std::to_string(facts.undoDepth);
    line += " redo=" + std::to_string(facts.redoDepth);
    line += " unsaved=" + unsaved;
    line += facts.modal ? " modal=1" : " modal=0";
    return line;
}

}  // namespace app

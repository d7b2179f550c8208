#include "app/core/editor_actions.h"

#include <algorithm>

#include "app/core/stored_light.h"

namespace app {

void SetPlaying(Session& session, bool playing) {
    if (session.editor.Playing == playing) return;
    session.editor.Playing = playing;
    session.panelObserver().PlayingChanged(playing);
}

int SetShownKey(Session& session, int keyNumber) {
    session.editor.ShownKey = std::clamp(keyNumber, 1, model::kMaxKeys);
    return session.editor.ShownKey;
}

void AnnounceShownKey(Session& session, int keyNumber) {
    session.panelObserver().KeyShown(SetShownKey(session, keyNumber));
}

void SelectPart(Session& session, model::PartIndex part) {
    session.editor.SelectedPart = part;
}

void ArmPartDrag(EditorState& state, HandleMode mode) {
    if (state.SelectedPart < 0) return;
    state.Handle = mode;
    state.HandlePhase = DragPhase::kArmed;
}

void KeepTypedAngles(EditorState& state, model::PartIndex part, gfx::Quat orientation,
                     gfx::Vec3 degrees) {
    state.HandlingAngles = {part, orientation, degrees};
}

void ArmLightDrag(EditorState& state, LightDragMode mode) {
    state.LightDrag = mode;
    state.LightDragPhase = DragPhase::kArmed;
}

void SetLight(EditorState& state, gfx::Vec3 direction, float power) {
    state.Light = {direction, power};
}

void SetLightPowerPosition(EditorState& state, int position) {
    state.LightPowerPosition = std::clamp(position, 0, kLightPowerPositions);
}

void EndLightPowerChange(EditorState& state, int position) {
    SetLightPowerPosition(state, position);
    SetLight(state, state.Light.direction, LightPowerAt(state.LightPowerPosition));
}

void SetGridShown(Session& session, bool shown) {
    session.panels.gridTicked = shown;
}

void SetOutlineShown(Session& session, bool shown) {
    session.panels.outlineTicked = shown;
}

void SetPartVisible(Session& session, int part, bool visible) {
    if (part < 0 || part >= model::kMaxParts) return;
    session.panels.partVisible[static_cast<std::size_t>(part)] = visible;
}

void ShowAllParts(Session& session) {
    session.panels.ShowAllParts();
}

void SetHandlingLocal(Session& session, bool local) {
    session.panels.handlingLocal = local;
}

void SetOnionShown(Session& session, bool shown) {
    session.panels.onionTicked = shown;
}

}  // namespace app

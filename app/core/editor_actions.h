#pragma once
// The one way the editor's state changes between frames: the tool panels, the frame steps and
// the commands call these functions rather than writing the session's fields, so that each value
// has one writer and the panels hear of every change they show.

#include "app/core/editor_state.h"
#include "app/core/session.h"

namespace app {

// Play on or off, whoever asks (the Animation panel's button or its keyboard shortcut, a load
// that stops playback). Off also forgets the key being played. The panels hear of a change.
void SetPlaying(Session& session, bool playing);

// Shows key `keyNumber`, brought into 1 .. 16, on the Animation panel; returns the number kept.
// Nothing is told: the caller is the panel itself.
int SetShownKey(Session& session, int keyNumber);
// As SetShownKey, and the panels are told to show it (playback, newly opened documents).
void AnnounceShownKey(Session& session, int keyNumber);

// The selection as the Part panel's tree sets it (model::kNoPart for none).
void SelectPart(Session& session, model::PartIndex part);

// A press on one of the Handling panel's pictures: arms `mode` while a part is selected; with
// nothing selected the mode stays as it is.
void ArmPartDrag(EditorState& state, HandleMode mode);
// Angles typed into the Handling panel turned `part` to `orientation`: shown as typed while it
// stays so.
void KeepTypedAngles(EditorState& state, model::PartIndex part, gfx::Quat orientation,
                     gfx::Vec3 degrees);
// A press on one of the Lighting panel's pictures: arms `mode`.
void ArmLightDrag(EditorState& state, LightDragMode mode);

// The light shone from now on: along `direction` (normalised where it is used) at `power`.
void SetLight(EditorState& state, gfx::Vec3 direction, float power);
// The Power position, clamped to 0 .. 10; the light keeps its power until the change ends.
void SetLightPowerPosition(EditorState& state, int position);
// A change of Power has ended at `position`: the position is kept and the light takes its power
// along its current direction.
void EndLightPowerChange(EditorState& state, int position);

// The Part panel's check boxes and the Handling panel's frame choice.
void SetGridShown(Session& session, bool shown);
void SetOutlineShown(Session& session, bool shown);
void SetPartVisible(Session& session, int part, bool visible);
void ShowAllParts(Session& session);
void SetHandlingLocal(Session& session, bool local);
// The Animation panel's onion skin box.
void SetOnionShown(Session& session, bool shown);

}  // namespace app

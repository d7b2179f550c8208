#pragma once
// The one meeting point of the editor's frame and the tool panels. The states of the controls
// the frame reads are PanelValues, kept in the session, which the panels change through
// app/core/editor_actions.h; the model and the
// frame tell the panels what changed through a PanelObserver. Until a panel exists (headless
// runs, tests) the values keep the controls' initial states and the observer hears nothing.

#include <array>

#include "files/settings/window_placement.h"
#include "model/limits.h"
#include "model/part_table.h"

namespace app {

struct PanelValues {
    // Part panel: "Grid(&G)" (floor grid and world axes) and "Outline(&O)" (silhouettes).
    bool gridTicked = true;
    bool outlineTicked = false;
    // Part panel: each part's check box in the tree. Unticked parts are neither drawn nor
    // picked. Every rebuild of the tree ticks them all again.
    std::array<bool, model::kMaxParts> partVisible = AllParts();
    // Handling panel: "Local" (the part's own axes) rather than "World".
    bool handlingLocal = true;
    // Animation panel: "Onion(&N)", the poses of the keys beside the shown one as faint ghosts
    // while playback is off. Not stored: every start begins without.
    bool onionTicked = false;

    bool IsPartVisible(int part) const {
        return part >= 0 && part < model::kMaxParts && partVisible[part];
    }
    void ShowAllParts() { partVisible = AllParts(); }

  private:
    static constexpr std::array<bool, model::kMaxParts> AllParts() {
        std::array<bool, model::kMaxParts> all{};
        all.fill(true);
        return all;
    }
};

// What the panels are told. Every function does nothing unless a panel overrides it.
class PanelObserver {
  public:
    virtual ~PanelObserver() = default;

    // Part panel: the tree's structure changed (open, close, add, delete): rebuild the tree
    // from `parts` with nothing selected and every box ticked, then refresh the menu state.
    // With `showScale` (a part file was opened) the scale box shows parts.scale.
    virtual void TreeRebuilt(const model::PartTable& /*parts*/, bool /*showScale*/) {}
    // Part panel: a click in the 3D view set SelectedPart (-1 = none): select its tree item,
    // then refresh the menu state.
    virtual void SelectionChanged(model::PartIndex /*selected*/) {}
    // Part panel: the Undo and Redo buttons are enabled exactly when they can act.
    virtual void HistoryChanged(bool /*canUndo*/, bool /*canRedo*/) {}
    // Part panel: the scale changed other than by its box (Undo, Redo): the box shows `scale`.
    virtual void ScaleChanged(float /*scale*/) {}
    // Animation panel: show key number `keyNumber` (1 .. 16) and its frame count.
    virtual void KeyShown(int /*keyNumber*/) {}
    // Animation panel: Play was switched on or off (by the panel or by a command).
    virtual void PlayingChanged(bool /*playing*/) {}

    // Handling panel: the frame's steps have run, once a frame. A drag, playback, a pick or a
    // command since the last frame may have moved the selected part or selected another: the
    // boxes show its values again (but for one the user is typing in).
    virtual void FrameStepsRan() {}

    // Material panel: the part file is about to be opened or closed; store the colour
    // replacements of the current list in the settings.
    virtual void StoreMaterialSettings() {}
    // Material panel: the set of loaded meshes changed; rebuild the list.
    virtual void MaterialListChanged() {}
};

// The panels' windows as the editor's start-up and shutdown see them.
class PanelWindows {
  public:
    virtual ~PanelWindows() = default;
    // Creates and shows the five panels, in order: Part, Handling, Lighting, Animation,
    // Material. Each restores its own stored position; one without stays where it opened, for
    // the start-up layout to place.
    virtual void ShowPanels() = 0;
    // The open panels as the start-up layout sees them, at their files::LayoutWindow places
    // (the main window's place and those of panels not made stay empty).
    virtual files::StartWindows Windows() { return {}; }
    // Closes them in the same order; each stores its position and settings as it closes.
    virtual void ClosePanels() = 0;
};

}  // namespace app

#pragma once
// What the editor's frame reads of the tool panels' controls. The panels implement it when they
// exist; until then InitialPanelStates answers with the controls' initial states.

namespace app {

class PanelStates {
  public:
    virtual ~PanelStates() = default;
    // The Part panel's "Grid" box: the floor grid and the world axes.
    virtual bool GridTicked() const = 0;
    // The Part panel's "Outline" box: the parts' silhouettes.
    virtual bool OutlineTicked() const = 0;
    // The Part panel's visibility box of the part.
    virtual bool IsPartVisible(int part) const = 0;
    // The Handling panel's choice: the manipulator follows the part's own axes (Local) or the
    // world's.
    virtual bool HandlingLocal() const = 0;
};

// Grid ticked, Outline not, every part visible, Local.
class InitialPanelStates : public PanelStates {
  public:
    bool GridTicked() const override { return true; }
    bool OutlineTicked() const override { return false; }
    bool IsPartVisible(int) const override { return true; }
    bool HandlingLocal() const override { return true; }
};

}  // namespace app

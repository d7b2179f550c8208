#pragma once
// When each command of the Part panel runs and when the panel offers it, decided in one place
// from the selection, the part count and the undo history: the commands check these before they
// act and the menu bar and the Undo button take their enabled state from them.

#include <array>

#include "model/limits.h"

namespace app {

// The command ids of the menu bar and the Undo and Redo buttons.
enum class PartPanelCommand : int {
    kOpenPartFile = 40004,
    kSavePartFile = 40023,
    kClosePartFile = 40021,
    kCopyOrientation = 40008,
    kPasteOrientation = 40007,
    kMirrorOrientation = 40009,
    kClearOrientation = 40022,
    kCopyPosition = 40010,
    kPastePosition = 40011,
    kMirrorPosition = 40012,
    kClearPosition = 40024,
    kAddChildPart = 40005,
    kDeletePart = 40006,
    kFetchDefaultOrientation = 40018,
    kStoreDefaultOrientation = 40020,
    kFetchDefaultPosition = 40017,
    kStoreDefaultPosition = 40019,
    kStoreDefaultPose = 40026,
    kUndo = 1030,
    kRedo = 1031,
};

inline constexpr std::array kPartPanelCommands{
    PartPanelCommand::kOpenPartFile,
    PartPanelCommand::kSavePartFile,
    PartPanelCommand::kClosePartFile,
    PartPanelCommand::kCopyOrientation,
    PartPanelCommand::kPasteOrientation,
    PartPanelCommand::kMirrorOrientation,
    PartPanelCommand::kClearOrientation,
    PartPanelCommand::kCopyPosition,
    PartPanelCommand::kPastePosition,
    PartPanelCommand::kMirrorPosition,
    PartPanelCommand::kClearPosition,
    PartPanelCommand::kAddChildPart,
    PartPanelCommand::kDeletePart,
    PartPanelCommand::kFetchDefaultOrientation,
    PartPanelCommand::kStoreDefaultOrientation,
    PartPanelCommand::kFetchDefaultPosition,
    PartPanelCommand::kStoreDefaultPosition,
    PartPanelCommand::kStoreDefaultPose,
    PartPanelCommand::kUndo,
    PartPanelCommand::kRedo,
};

// What the rules look at.
struct PartPanelFacts {
    model::PartIndex selected = model::kNoPart;  // the selected part; -1 for none
    int count = 0;                               // the parts in the table
    bool canUndo = false;                        // Undo has a step to take back
    bool canRedo = false;                        // Redo has a step to make again
};

// The single-part pose commands and delete: they act on the selected part.
bool ActsOnSelectedPart(PartPanelCommand command);

// A part is selected.
bool HasSelection(const PartPanelFacts& facts);
// A child can be added: to the selected part, or as the root of an empty table (one root only).
bool CanAddChild(const PartPanelFacts& facts);
// The table holds parts: what save and the default pose commands need.
bool HasParts(const PartPanelFacts& facts);

// Whether the command acts when run: open, close, Undo and Redo always; add child by CanAddChild;
// the single-part commands by HasSelection; save and the default pose commands by HasParts. Close,
// Undo and Redo run even where they are grayed: closing an empty table and undoing nothing are
// harmless.
bool PartCommandRuns(PartPanelCommand command, const PartPanelFacts& facts);

// Whether the menu bar or the Undo and Redo buttons offer the command: as it runs, except that
// close needs parts, and Undo and Redo a step to act on.
bool PartCommandOffered(PartPanelCommand command, const PartPanelFacts& facts);

}  // namespace app

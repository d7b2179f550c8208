#include "app/commands/part_panel_rules.h"

namespace app {

using Command = PartPanelCommand;

bool ActsOnSelectedPart(Command command) {
    switch (command) {
        case Command::kCopyOrientation:
        case Command::kPasteOrientation:
        case Command::kMirrorOrientation:
        case Command::kClearOrientation:
        case Command::kCopyPosition:
        case Command::kPastePosition:
        case Command::kMirrorPosition:
        case Command::kClearPosition:
        case Command::kDeletePart:
            return true;
        default:
            return false;
    }
}

bool HasSelection(const PartPanelFacts& facts) {
    return facts.selected >= 0;
}

bool CanAddChild(const PartPanelFacts& facts) {
    return HasSelection(facts) || facts.count == 0;
}

bool HasParts(const PartPanelFacts& facts) {
    return facts.count > 0;
}

bool PartCommandRuns(Command command, const PartPanelFacts& facts) {
    switch (command) {
        case Command::kOpenPartFile:
        case Command::kClosePartFile:
        case Command::kUndo:
        case Command::kRedo:
            return true;
        case Command::kAddChildPart:
            return CanAddChild(facts);
        default:
            return ActsOnSelectedPart(command) ? HasSelection(facts) : HasParts(facts);
    }
}

bool PartCommandOffered(Command command, const PartPanelFacts& facts) {
    switch (command) {
        case Command::kClosePartFile:
            return HasParts(facts);
        case Command::kUndo:
            return facts.canUndo;
        case Command::kRedo:
            return facts.canRedo;
        default:
            return PartCommandRuns(command, facts);
    }
}

}  // namespace app

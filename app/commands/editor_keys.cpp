#include "app/commands/editor_keys.h"

#include <array>

#include "app/core/editor_actions.h"
#include "app/steps/camera_views.h"

namespace app {
namespace {

using C = EditorCommand;

struct Binding {
    Key key;
    bool ctrl;
    bool shift;
    C command;
};

// In menu order: a command's first binding is the one menus show.
constexpr std::array kBindings{
    Binding{Key::kZ, true, false, C::kUndo},
    Binding{Key::kY, true, false, C::kRedo},
    Binding{Key::kZ, true, true, C::kRedo},
    Binding{Key::kS, true, false, C::kSave},
    Binding{Key::kS, true, true, C::kSaveAs},
    Binding{Key::kO, true, false, C::kOpen},
    Binding{Key::kDelete, false, false, C::kDeletePart},
    Binding{Key::kSpace, false, false, C::kPlayOrStop},
    Binding{Key::kPageUp, false, false, C::kPreviousKey},
    Binding{Key::kPageDown, false, false, C::kNextKey},
    Binding{Key::kF, false, false, C::kFrameSelection},
    Binding{Key::kKeypad1, false, false, C::kViewFront},
    Binding{Key::kKeypad1, true, false, C::kViewBack},
    Binding{Key::kKeypad3, false, false, C::kViewRight},
    Binding{Key::kKeypad3, true, false, C::kViewLeft},
    Binding{Key::kKeypad7, false, false, C::kViewTop},
    Binding{Key::kKeypad7, true, false, C::kViewBottom},
};

// Stepping commands go on while the key is held; the others (a save, a delete, play) act once
// a press.
bool Repeats(C command) {
    return command == C::kUndo || command == C::kRedo || command == C::kPreviousKey ||
           command == C::kNextKey;
}

const char* KeyName(Key key) {
    switch (key) {
        case Key::kF:
            return "F";
        case Key::kO:
            return "O";
        case Key::kS:
            return "S";
        case Key::kY:
            return "Y";
        case Key::kZ:
            return "Z";
        case Key::kDelete:
            return "Del";
        case Key::kSpace:
            return "Space";
        case Key::kPageUp:
            return "PgUp";
        case Key::kPageDown:
            return "PgDown";
        case Key::kKeypad1:
            return "Num+1";
        case Key::kKeypad3:
            return "Num+3";
        case Key::kKeypad7:
            return "Num+7";
        case Key::kOther:
            break;
    }
    return "";
}

bool RunPartCommand(Session& session, PartPanelCommand command, const ChooseFile& chooseFile) {
    // A key does what a click could: what the menu and the buttons offer, and nothing while a
    // drag holds an edit open (a part deleted or a file opened under the cursor's drag).
    if (session.model.EditUnderWay() || !MenuState(session).Enabled(command)) return false;
    return RunPartPanelCommand(session, command, chooseFile);
}

std::optional<ViewSide> SideOf(C command) {
    switch (command) {
        case C::kViewFront:
            return ViewSide::kFront;
        case C::kViewBack:
            return ViewSide::kBack;
        case C::kViewRight:
            return ViewSide::kRight;
        case C::kViewLeft:
            return ViewSide::kLeft;
        case C::kViewTop:
            return ViewSide::kTop;
        case C::kViewBottom:
            return ViewSide::kBottom;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<EditorCommand> CommandForKey(const KeyStroke& stroke) {
    if (stroke.alt || stroke.key == Key::kOther) return std::nullopt;
    for (const Binding& binding : kBindings) {
        if (binding.key == stroke.key && binding.ctrl == stroke.ctrl &&
            binding.shift == stroke.shift) {
            if (stroke.repeat && !Repeats(binding.command)) return std::nullopt;
            return binding.command;
        }
    }
    return std::nullopt;
}

std::string ShortcutText(EditorCommand command) {
    for (const Binding& binding : kBindings) {
        if (binding.command != command) continue;
        std::string text;
        if (binding.ctrl) text += "Ctrl+";
        if (binding.shift) text += "Shift+";
        return text + KeyName(binding.key);
    }
    return {};
}

bool RunEditorCommand(Session& session, EditorCommand command, const ChooseFile& chooseFile) {
    if (const std::optional<ViewSide> side = SideOf(command)) {
        LookFromSide(session.editor, *side);
        return true;
    }
    switch (command) {
        case C::kUndo:
            return RunPartCommand(session, PartPanelCommand::kUndo, chooseFile);
        case C::kRedo:
            return RunPartCommand(session, PartPanelCommand::kRedo, chooseFile);
        case C::kSave:
            return RunPartCommand(session, PartPanelCommand::kSavePartFile, chooseFile);
        case C::kSaveAs:
            return RunPartCommand(session, PartPanelCommand::kSavePartFileAs, chooseFile);
        case C::kOpen:
            return RunPartCommand(session, PartPanelCommand::kOpenPartFile, chooseFile);
        case C::kDeletePart:
            return RunPartCommand(session, PartPanelCommand::kDeletePart, chooseFile);
        case C::kPlayOrStop:
            SetPlaying(session, !session.playing());
            return true;
        case C::kPreviousKey:
        case C::kNextKey: {
            const int before = session.shownKey();
            AnnounceShownKey(session, before + (command == C::kNextKey ? 1 : -1));
            return session.shownKey() != before;
        }
        case C::kFrameSelection:
            return FrameParts(session);
        default:
            return false;
    }
}

}  // namespace app

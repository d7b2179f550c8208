#pragma once
// The editor's keyboard: which key, with which modifiers, runs which command, and the commands
// themselves. The window system's corner turns its key presses into KeyStrokes and decides when
// they are the editor's (not typed into a text box, no dialog open); everything else is here.

#include <optional>
#include <string>

#include "app/commands/part_panel_commands.h"
#include "app/core/session.h"

namespace app {

// The keys the editor answers; every other key is kOther. The keypad's 1, 3 and 7 are keys of
// their own, whatever NumLock says.
enum class Key {
    kOther,
    kF,
    kO,
    kS,
    kY,
    kZ,
    kDelete,
    kSpace,
    kPageUp,
    kPageDown,
    kKeypad1,
    kKeypad3,
    kKeypad7,
};

struct KeyStroke {
    Key key = Key::kOther;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;     // Alt and Meta: the menus' mnemonics and the desktop's own keys
    bool repeat = false;  // sent again by the key held down
};

enum class EditorCommand {
    kUndo,
    kRedo,
    kSave,
    kSaveAs,
    kOpen,
    kDeletePart,
    kPlayOrStop,
    kPreviousKey,
    kNextKey,
    kFrameSelection,
    kViewFront,
    kViewBack,
    kViewRight,
    kViewLeft,
    kViewTop,
    kViewBottom,
};

// The command of a stroke; none for a key the editor leaves alone. The modifiers must match
// exactly, and a held key repeats only the commands that step (Undo, Redo, the keys shown).
std::optional<EditorCommand> CommandForKey(const KeyStroke& stroke);

// The first stroke of a command as menus show it: "Ctrl+S", "Ctrl+Shift+S", "Del".
std::string ShortcutText(EditorCommand command);

// Runs the command: Undo, Redo, the saves, open and delete as the Part panel's commands do (under
// their rules, asking `chooseFile` where they ask); play and stop, the key shown (the Animation
// panel follows), and the camera's framing and axis views. False when nothing was done.
bool RunEditorCommand(Session& session, EditorCommand command, const ChooseFile& chooseFile);

}  // namespace app

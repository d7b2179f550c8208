#pragma once
// One line a frame for the test probe: the editor's state as a window test waits on it, in
// plain "name=value" words, e.g.
//   frame=123 parts=13 selected=4 handle=move-x hover=idle light=idle key=2 playing=0 onion=0
//   undo=3 redo=0 unsaved=part,anim modal=0
// (one line). The facts come from the session and, for what only the windows know, from the
// caller; the line is written by the program's edge.

#include <cstdint>
#include <string>

#include "app/core/session.h"

namespace app {

struct ProbeFacts {
    std::uint64_t frame = 0;  // frames run since start-up; 0 before the first
    int parts = 0;            // parts in the table
    int selected = -1;        // the selected part; -1 = none
    HandleMode handle = HandleMode::kIdle;
    DragPhase handlePhase = DragPhase::kArmed;
    HandleMode hovered = HandleMode::kIdle;  // the manipulator handle under the cursor
    LightDragMode lightDrag = LightDragMode::kIdle;
    DragPhase lightDragPhase = DragPhase::kArmed;
    int keyShown = 0;  // the key shown, 1 .. 16; 0 = none yet
    bool playing = false;
    bool onion = false;  // the Animation panel's onion skin box
    int undoDepth = 0;   // steps Undo can take back
    int redoDepth = 0;   // steps Redo can make again
    bool partUnsaved = false;
    bool animationUnsaved = false;
    bool modal = false;  // a message box or file dialog is open
};

// The facts the session holds: parts, selection, the handle and light modes, the key shown,
// Play and the onion skin, the undo and redo depths.
ProbeFacts SessionProbeFacts(const Session& session);

// "idle", "move-x" .. "turn-z", and "drag-move-x" .. "drag-turn-z" while dragging; a value
// outside the enum as its number.
std::string HandleModeName(HandleMode mode, DragPhase phase);
// "idle", "tilt", "turn", "drag-tilt", "drag-turn"; a value outside the enum as its number.
std::string LightDragModeName(LightDragMode mode, DragPhase phase);

// The line, without its line break. "selected=none" and "unsaved=none" when so.
std::string ProbeLine(const ProbeFacts& facts);

}  // namespace app

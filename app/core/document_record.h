#pragma once
// Where the open documents came from and what was last saved (or opened) of each, for the
// recovery copy and the save dialogs. "Saved" is judged by bytes: a document holds unsaved
// changes when what its writer gives now differs from what was last written or read, so every
// kind of edit counts without each one reporting itself.

#include <cstdint>
#include <optional>
#include <string>

namespace app {

class Session;

struct DocumentRecord {
    std::string modelPath;      // the part file opened or saved last; empty for a new model
    std::string animationPath;  // likewise for the animation file
    // The writers' bytes at the last save or open; none = nothing on disk holds this work (a
    // restored copy).
    std::optional<std::string> savedModel;
    std::optional<std::string> savedAnimation;
    // Counts every change of the record, so that a save is noticed though the model is unchanged.
    std::uint64_t revision = 0;
};

// The part file now matches what is at `path` (opened or saved there; empty = no file, as after
// a close or a failed open).
void NoteModelSaved(Session& session, const std::string& path);
// Likewise for the animation file.
void NoteAnimationSaved(Session& session, const std::string& path);

}  // namespace app

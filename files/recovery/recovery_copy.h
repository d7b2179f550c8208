#pragma once
// The recovery copy: the part file and the animation file of work not yet saved, kept in one
// folder under the user's state folder so that a quit or a crash does not lose it. The folder
// holds the two documents under numbered names (model-<n>.pwp, animation-<n>.pwa) and a
// manifest, "manifest.txt", written last:
//
//   Posewrighter recovery copy 1
//   model-path=/home/me/robot.pwp          the documents' own paths (empty: never saved)
//   animation-path=/home/me/walk.pwa
//   unsaved=model animation                which of them held unsaved changes
//   model=model-7.pwp 5120 9f1c0b7d2e4a6f31      file, size, FNV-1a 64 of its bytes
//   animation=animation-7.pwa 20480 0c3b...       "animation=none" without an animation
//
// Each file is replaced atomically, and a new copy's documents take new numbers, so the
// manifest always names complete files: a write cut short anywhere leaves the previous copy.

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/base/result.h"

namespace files {

inline constexpr std::string_view kRecoveryFormatLine = "Posewrighter recovery copy 1";
inline constexpr std::string_view kRecoveryManifestName = "manifest.txt";

struct RecoveryCopy {
    std::string modelPath;      // where the part file came from or was saved; empty = nowhere
    std::string animationPath;  // likewise for the animation file
    bool modelUnsaved = false;
    bool animationUnsaved = false;
    std::string model;      // the part file's bytes
    std::string animation;  // the animation file's bytes; empty = no animation

    bool operator==(const RecoveryCopy&) const = default;
};

// The copy's folder, "<state>/Posewrighter/recovery/", for $XDG_STATE_HOME (only an absolute
// one counts) or else $HOME/.local/state. Empty when neither is usable. Null or empty texts
// mean "not set".
std::string RecoveryFolder(const char* xdgStateHome, const char* home);

// The manifest of a copy whose documents are numbered `number`. A path holding a line end is
// written empty (the copy is still worth keeping; only the save dialog's start is lost).
std::string FormatRecoveryManifest(const RecoveryCopy& copy, std::uint64_t number);

// What a manifest says; the documents' bytes are not part of it.
struct RecoveryManifest {
    RecoveryCopy copy;  // paths and unsaved flags only
    std::string modelFile;
    std::uint64_t modelSize = 0;
    std::uint64_t modelHash = 0;
    std::string animationFile;  // empty = none
    std::uint64_t animationSize = 0;
    std::uint64_t animationHash = 0;
};

// Fails with the reason (for the debug log) on any line out of place, an unknown format line,
// a file name that is not "model-<n>.pwp" / "animation-<n>.pwa", or a bad number.
gfx::Result<RecoveryManifest> ParseRecoveryManifest(std::string_view bytes);

// Whether `name` is one a manifest may name: "model-<n>.pwp" or "animation-<n>.pwa".
bool IsRecoveryDocumentName(std::string_view name);

// FNV-1a, 64 bits: the manifest's check that a document is the one it names.
std::uint64_t RecoveryHash(std::string_view bytes);

// Writes the copy into `folder` (made when missing): the documents numbered `number`, then the
// manifest, then removes the documents of earlier copies. The number must differ from the
// previous copy's.
gfx::Status WriteRecoveryCopy(const std::string& folder, const RecoveryCopy& copy,
                              std::uint64_t number);

enum class RecoveryState {
    kNone,     // no copy: no folder, or an empty one
    kFound,    // a complete copy, its documents read back by the readers
    kDamaged,  // something is there but not a whole copy; `problem` says what
};

struct RecoveryRead {
    RecoveryState state = RecoveryState::kNone;
    RecoveryCopy copy;
    std::string problem;
};

// Reads the copy in `folder` and checks it: the manifest, each document's size and hash, and
// that the part file reader and the animation file reader (for that part count) accept them.
RecoveryRead ReadRecoveryCopy(const std::string& folder);

// Removes the copy: the folder is first renamed away (one atomic step, so a crash cannot leave
// half a copy behind), then emptied. Nothing to remove is success.
gfx::Status RemoveRecoveryCopy(const std::string& folder);

// Renames a damaged copy's folder to "recovery-<stamp>.damaged" beside it (with "-2", "-3" ...
// when taken), keeping every file; returns the new path.
gfx::Result<std::string> SetAsideRecoveryCopy(const std::string& folder, std::string_view stamp);

}  // namespace files

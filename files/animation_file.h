#pragma once
// The animation file (extension "pwa"): the keys in use of the AnimationSet as C declarations,
// written with a fixed line layout (CR LF line ends) and read back by line position:
//
//   short g_frameCount[n] = {10, 20};
//   QUAT g_qua[n][c] = { c orientation entries per key, a blank line between keys };
//   VEC3 g_pos[n][c] = { c position entries per key, a blank line between keys };
//
// The file holds no part count of its own: it is read into the open model's part count c.

#include <string>
#include <string_view>

#include "gfx/base/result.h"
#include "model/animation_set.h"
#include "model/part_table.h"

namespace files {

inline constexpr std::string_view kAnimationFileExtension = "pwa";

// The exact bytes of the keys in use, part names from the table in the comments; empty when the
// animation is empty. Fails (write-failure message, reason in the debug log) when the table's
// count is outside 0 to 100, a name does not fit or holds a line end (a double quote in a
// comment is harmless), or a value is not finite.
gfx::Result<std::string> FormatAnimationFile(const model::AnimationSet& animation,
                                             const model::PartTable& parts);

enum class AnimationWrite {
    kWritten,
    kEmpty,  // key 1 has no frames: nothing written, any existing file untouched
};

// Writes the file in place of any file at `path`; a failure leaves that file as it was.
gfx::Result<AnimationWrite> WriteAnimationFile(const std::string& path,
                                               const model::AnimationSet& animation,
                                               const model::PartTable& parts);

// Replaces the whole set from the bytes, for a model of partCount parts. On any fault (the read-
// failure message; line and reason in the debug log) the set is left cleared, with what was
// read before the fault, and frameCount[0] = 0 so that the animation is empty.
gfx::Status ParseAnimationFile(std::string_view bytes, int partCount,
                               model::AnimationSet& animation);

// Reads the file (opened for reading only) as ParseAnimationFile. When the file cannot be
// opened, only frameCount[0] is set to 0.
gfx::Status ReadAnimationFile(const std::string& path, int partCount,
                              model::AnimationSet& animation);

}  // namespace files

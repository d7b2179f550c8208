#pragma once
// The part file (extension "pwp"): the model's part tree as C declarations that a game can
// compile, written with a fixed line layout (CR LF line ends) and read back by line position:
//
//   short g_meshCount = N;            char g_name[N][64] = { "\t\"name\"," ... };
//   float g_scale = 1.000000f;        char g_path[N][256], short g_parents[N], short g_level[N],
//   VEC3 g_posDef[N], QUAT g_quaDef[N], each array followed by one blank line.
//
// Only count, scale, name, path, parent, level, defaultPosition and defaultOrientation are
// read or written; nodes, meshes and the rebuild pose belong to the caller.

#include <string>
#include <string_view>

#include "gfx/base/result.h"
#include "model/part_table.h"

namespace files {

inline constexpr std::string_view kPartFileExtension = "pwp";

// Both the reader and the writer refuse a scale that six decimals cannot hold: it would be
// written as zero, which no reader takes.
inline constexpr std::string_view kScaleRule =
    "the scale is not a positive finite number of at least 0.000001";
bool IsWritableScale(float scale);

// The file's exact bytes. Fails (with the write-failure message, the reason in the debug log)
// for a table that would not read back: a count outside 0 to 100, a scale that is not a
// positive finite number of at least 0.000001, a name over 63 or a path over 255 bytes or one
// holding a double quote or line end, a parent outside -1 to count - 1, a level outside 0 to
// count - 1, parents and levels that do not form a depth-first tree (model/part_tree.h), or a
// non-finite component.
gfx::Result<std::string> FormatPartFile(const model::PartTable& table);

// Writes the file in place of any file at `path`; a failure leaves that file as it was.
gfx::Status WritePartFile(const std::string& path, const model::PartTable& table);

// Fills the table's file fields from the bytes. Any fault, a table that is not a depth-first
// tree included, fails with the read-failure message (the line and reason go to the debug log);
// fields read before the fault keep their new values.
gfx::Status ParsePartFile(std::string_view bytes, model::PartTable& table);

// Reads the file (opened for reading only) into the table, as ParsePartFile.
gfx::Status ReadPartFile(const std::string& path, model::PartTable& table);

}  // namespace files

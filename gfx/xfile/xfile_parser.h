#pragma once
// Walks the objects of a .x file (text or binary reader) and hands every Mesh, with the
// combined transform of its frames, to the merger. Templates and objects other than the frame
// hierarchy and the mesh parts are skipped whole.

#include <cstddef>

#include "gfx/base/result.h"
#include "gfx/xfile/xfile_binary_reader.h"
#include "gfx/xfile/xfile_merge.h"
#include "gfx/xfile/xfile_text_reader.h"

namespace gfx::xfile {

// Frames nested deeper than this fail the load rather than the stack.
inline constexpr int kMaxFrameDepth = 256;
// Bytes that references may make the parser read again: a fixed allowance plus a multiple of
// the input. Real files stay far below; the 16-bit vertex limit ends most repetition first.
inline constexpr std::size_t kReloadBaseBudget = std::size_t{64} << 20;
inline constexpr std::size_t kReloadInputFactor = 16;

Status ParseObjects(TextReader& reader, MeshMerger& merger);
Status ParseObjects(BinaryReader& reader, MeshMerger& merger);

}  // namespace gfx::xfile

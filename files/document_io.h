#pragma once
// The disk edge of the document files: whole-file reads and writes, so that formatting and
// parsing work on bytes. Errors carry the system's reason, for the debug log.

#include <cstddef>
#include <string>
#include <string_view>

#include "gfx/base/result.h"

namespace files {

// Reads the file, opened for reading only, up to maxBytes (what follows is not needed by the
// caller and is not read).
gfx::Result<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes);
// As ReadFilePrefix, with only the reason on failure ("No such file or directory"), for a
// message that names the file itself.
gfx::Result<std::string> ReadDocumentBytes(const std::string& path, std::size_t maxBytes);

// Writes the bytes to a new file beside the target and renames it over the target, so that a
// write that fails at any step leaves the previous file as it was. An existing target keeps
// its permissions; a read-only target is refused. A symbolic link is followed and its target
// replaced.
gfx::Status ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace files

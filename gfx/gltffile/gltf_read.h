#pragma once
// tinygltf with its file access and image decoding replaced: side files are read only from the
// given folder (found by the caller's rule) through the capped regular-file reader, and images are
// kept as their encoded bytes (the texture cache decodes them).

#include <tiny_gltf.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "gfx/base/find_file.h"
#include "gfx/base/result.h"

namespace gfx::gltffile {

Status ReadGltfModel(std::span<const std::byte> bytes, const std::optional<std::string>& folder,
                     const FindFile& find, tinygltf::Model& model);

}  // namespace gfx::gltffile

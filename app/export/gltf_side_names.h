#pragma once
// The names of a .gltf's side files, its .bin and its images, in the output's folder.
//
// They are made from the output's file name so that exports to different names never share
// one: BASE.bin and BASE_0.png, BASE_1.png ..., where BASE is the file name without its ".gltf"
// (when the extension is not written in lower case, its dot is kept as "_2E" and its letters
// as they are) with every byte other than ASCII letters, digits, '.' and '-' written as '_' and
// two upper-case hex digits: "Walk Cycle.gltf" gives "Walk_20Cycle.bin", "a_b.gltf" gives
// "a_5Fb.bin". Such names stand in a URI as they are, and BASE maps back to one output name.
//
// A name that is already the file of one of the export's inputs (a mesh, a texture, a
// document) is not taken: "~1", "~2" ... goes before its extension until it names no input.
// '~' never comes out of the rule above, so such a name is no other export's either.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// BASE as above for a file name ending in .gltf (letter case ignored).
std::string GltfSideBaseName(std::string_view gltfFileName);

struct GltfSideNames {
    std::string bin;
    std::vector<std::string> images;
    friend bool operator==(const GltfSideNames&, const GltfSideNames&) = default;
};

// The names for a .gltf named `gltfFileName` in `folder` (empty or ending in '/') with
// `imageCount` images, none of them the same file as a path in `inputs`.
GltfSideNames PickGltfSideNames(const std::string& folder, std::string_view gltfFileName,
                                std::size_t imageCount, const std::vector<std::string>& inputs);

}  // namespace app

// libFuzzer target: any OBJ text, with any material library, given to the OBJ loader must give
// a mesh or an error, never a crash, an out-of-bounds access or unbounded memory use. The input
// is the OBJ text up to the first NUL byte; what follows is served for every `mtllib` name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/objfile/objfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view obj = input.substr(0, split);
    const std::string_view mtl =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    auto loaded = gfx::LoadMeshFromObjInMemory(
        obj, [mtl](std::string_view) -> gfx::Result<std::string> { return std::string(mtl); });
    if (loaded.ok()) {
        // Touch the result so a broken mesh shows up under the sanitizers.
        volatile std::uint32_t sink = loaded->mesh.NumFaces();
        for (std::uint16_t index : loaded->mesh.Indices()) sink = sink + index;
        (void)sink;
    }
    return 0;
}

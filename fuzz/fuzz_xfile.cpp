// libFuzzer target: any bytes given to the .x loader must give a mesh or an error, never a
// crash, an out-of-bounds access or unbounded memory use.

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/xfile/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = std::as_bytes(std::span(data, size));
    auto loaded = gfx::LoadMeshFromXInMemory(bytes);
    if (loaded.ok()) {
        // Touch the result so a broken mesh shows up under the sanitizers.
        volatile std::uint32_t sink = loaded->mesh.NumFaces();
        for (std::uint16_t index : loaded->mesh.Indices()) sink = sink + index;
        (void)sink;
    }
    return 0;
}

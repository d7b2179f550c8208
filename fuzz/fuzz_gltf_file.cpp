// libFuzzer target: any bytes given to the glTF loader, JSON text (.gltf, its buffers and images
// data URIs) or binary (.glb), must give a mesh or an error, never a crash, an out-of-bounds
// access or unbounded memory use. No side file is read. The seeds hold both kinds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "gfx/gltffile/gltffile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto loaded =
        gfx::LoadMeshFromGltfInMemory(std::as_bytes(std::span(data, size)), "fuzz", std::nullopt);
    if (loaded.ok()) {
        // Touch the result so a broken mesh shows up under the sanitizers.
        volatile std::uint32_t sink = loaded->mesh.NumFaces();
        for (std::uint16_t index : loaded->mesh.Indices()) sink = sink + index;
        for (const gfx::ExtendedMaterial& material : loaded->materials) {
            if (material.textureData) {
                for (std::byte b : *material.textureData) sink = sink + std::uint32_t(b);
            }
        }
        (void)sink;
    }
    return 0;
}

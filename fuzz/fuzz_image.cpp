// Texture images come from files that users name in their meshes: any bytes must decode or
// fail cleanly.

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    auto texture = gfx::CreateTextureFromFileInMemoryEx(bytes, 0, 0, 0, 0xFF000000u);
    if (texture && !texture->levels.empty()) {
        const gfx::Image& top = texture->levels.front();
        if (top.texels.size() != std::size_t{top.width} * top.height) __builtin_trap();
    }
    return 0;
}

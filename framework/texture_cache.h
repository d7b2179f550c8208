#pragma once
// Shares textures between the meshes of a model: a texture file named by several materials is
// decoded once and freed when its last user gives it back. Each load and each final release
// writes one line to the debug log.
//
// Textures are decoded into memory, so the cache works without a graphics device. When a device
// exists it registers itself as the uploader and receives every texture the cache holds (as a
// managed pool would: the cache keeps the texels, the device keeps its copy).

#include <cstddef>
#include <cstdint>
#include <list>
#include <span>
#include <string>
#include <string_view>

#include "gfx/image/image.h"
#include "gfx/math/math_types.h"

namespace framework {

struct Texture {
    gfx::Texture image;
    std::uint32_t deviceHandle = 0;  // 0 = not on a device
};

// The graphics device's side of the cache.
class TextureUploader {
  public:
    virtual ~TextureUploader() = default;
    // Returns the device's handle for its copy of the texture, 0 when it could not take it.
    virtual std::uint32_t Upload(const gfx::Texture& texture) = 0;
    virtual void Free(std::uint32_t handle) = 0;
};

class TextureCache {
  public:
    TextureCache() = default;
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;
    // Frees the entries' memory only: the uploader is not called, since the device may already
    // be gone (a device frees its own textures when it is destroyed).
    ~TextureCache() = default;

    // The texture with this name (compared byte for byte, letter case counts), loaded on first
    // request; null when it cannot be loaded. colourKey 0 = none; mipLevels 0 = full chain.
    // Every non-null result must be given back with ReleaseTexture.
    Texture* AcquireTexture(bool fromResource, std::string_view name, gfx::Colour colourKey,
                            unsigned mipLevels);
    // The same for an image a mesh file holds itself: `name` keys it as above, and `bytes` (the
    // encoded image) are decoded on first request.
    Texture* AcquireTextureFromMemory(std::string_view name, std::span<const std::byte> bytes,
                                      gfx::Colour colourKey, unsigned mipLevels);
    // Gives one acquisition back; the last one frees the texture. Unknown textures are ignored.
    void ReleaseTexture(const Texture* texture);

    // Installs (or, with null, removes) the device. Textures the old device holds are freed on
    // it; every texture already loaded is uploaded to the new one.
    void SetUploader(TextureUploader* uploader);

    std::size_t size() const { return entries_.size(); }
    // Outstanding acquisitions of the named texture; 0 when it is not loaded.
    int UseCount(std::string_view name) const;

  private:
    struct Entry {
        Texture texture;
        std::string name;
        int useCount = 0;
    };

    Entry* Find(std::string_view name);
    Texture* Add(std::string name, gfx::Result<gfx::Texture> loaded);

    // Lookups walk the list from the front; a new entry goes directly after the first one.
    // List nodes never move, so the Texture pointers handed out stay valid.
    std::list<Entry> entries_;
    TextureUploader* uploader_ = nullptr;
};

}  // namespace framework

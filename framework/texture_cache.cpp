#include "framework/texture_cache.h"

#include <iterator>
#include <utility>

#include "framework/debug_log.h"
#include "framework/display_text.h"

namespace framework {

TextureCache::Entry* TextureCache::Find(std::string_view name) {
    for (Entry& entry : entries_) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

int TextureCache::UseCount(std::string_view name) const {
    for (const Entry& entry : entries_) {
        if (entry.name == name) return entry.useCount;
    }
    return 0;
}

Texture* TextureCache::AcquireTexture(bool fromResource, std::string_view name,
                                      gfx::Colour colourKey, unsigned mipLevels) {
    if (Entry* entry = Find(name)) {
        ++entry->useCount;
        return &entry->texture;
    }

    const std::string nameCopy(name);
    LogMessage("load(%s) ... ", DisplayText(nameCopy).c_str());
    // This program carries no embedded resources, so a resource name never loads. A name with
    // an embedded NUL cannot name a file either.
    if (fromResource) {
        LogMessage("failed. %s: this program has no embedded resources\n",
                   DisplayText(nameCopy).c_str());
        return nullptr;
    }
    if (nameCopy.find('\0') != std::string::npos) {
        LogMessage("failed. the name holds a NUL character\n");
        return nullptr;
    }
    return Add(nameCopy, gfx::CreateTextureFromFileEx(nameCopy, 0, 0, mipLevels, colourKey));
}

Texture* TextureCache::AcquireTextureFromMemory(std::string_view name,
                                                std::span<const std::byte> bytes,
                                                gfx::Colour colourKey, unsigned mipLevels) {
    if (Entry* entry = Find(name)) {
        ++entry->useCount;
        return &entry->texture;
    }
    std::string nameCopy(name);
    LogMessage("load(%s) ... ", DisplayText(nameCopy).c_str());
    gfx::Result<gfx::Texture> loaded =
        gfx::CreateTextureFromFileInMemoryEx(bytes, 0, 0, mipLevels, colourKey);
    if (!loaded) loaded = gfx::Error{nameCopy + ": " + loaded.error()};
    return Add(std::move(nameCopy), std::move(loaded));
}

Texture* TextureCache::Add(std::string nameCopy, gfx::Result<gfx::Texture> loaded) {
    if (!loaded) {
        // The decoder's reason (which names the file) completes the line.
        LogMessage("failed. %s\n", DisplayText(loaded.error()).c_str());
        return nullptr;
    }
    LogMessage("ok.\n");

    const auto position = entries_.empty() ? entries_.end() : std::next(entries_.begin());
    Entry& entry =
        *entries_.insert(position, Entry{{std::move(loaded).value(), 0}, std::move(nameCopy), 1});
    if (uploader_ != nullptr) entry.texture.deviceHandle = uploader_->Upload(entry.texture.image);
    return &entry.texture;
}

void TextureCache::ReleaseTexture(const Texture* texture) {
    if (texture == nullptr) return;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (&it->texture != texture) continue;
        if (--it->useCount > 0) return;
        LogMessage("release(%s)\n", DisplayText(it->name).c_str());
        if (uploader_ != nullptr && it->texture.deviceHandle != 0) {
            uploader_->Free(it->texture.deviceHandle);
        }
        entries_.erase(it);
        return;
    }
}

void TextureCache::SetUploader(TextureUploader* uploader) {
    if (uploader == uploader_) return;
    for (Entry& entry : entries_) {
        if (uploader_ != nullptr && entry.texture.deviceHandle != 0) {
            uploader_->Free(entry.texture.deviceHandle);
        }
        entry.texture.deviceHandle =
            uploader != nullptr ? uploader->Upload(entry.texture.image) : 0;
    }
    uploader_ = uploader;
}

}  // namespace framework

#pragma once
// The elements of a glTF accessor, every reference and byte range checked before a byte is
// read (tinygltf checks neither).

#include <tiny_gltf.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>

#include "gfx/base/result.h"

namespace gfx::gltffile {

class AccessorView {
  public:
    std::size_t Count() const { return count_; }
    int Components() const { return components_; }
    // Component c of element i as a float; normalized integers in 0 to 1. (Defined here, so
    // that the per-vertex loops inline them.)
    float Float(std::size_t i, int c) const;
    // Element i of an unsigned integer scalar accessor.
    std::uint32_t Index(std::size_t i) const;

  private:
    friend Result<AccessorView> ViewAccessor(const tinygltf::Model&, int,
                                             std::initializer_list<int>, std::initializer_list<int>,
                                             bool);
    const unsigned char* data_ = nullptr;
    std::size_t stride_ = 0, count_ = 0;
    int componentType_ = 0, components_ = 0;
    bool normalized_ = false;
};

inline float AccessorView::Float(std::size_t i, int c) const {
    const unsigned char* at = data_ + i * stride_;
    switch (componentType_) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
            float value;
            std::memcpy(&value, at + 4 * std::size_t(c), 4);
            return value;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return float(at[c]) / (normalized_ ? 255.0f : 1.0f);
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t value;
            std::memcpy(&value, at + 2 * std::size_t(c), 2);
            return float(value) / (normalized_ ? 65535.0f : 1.0f);
        }
        default:
            return 0.0f;
    }
}

inline std::uint32_t AccessorView::Index(std::size_t i) const {
    const unsigned char* at = data_ + i * stride_;
    switch (componentType_) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return at[0];
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t value;
            std::memcpy(&value, at, 2);
            return value;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
            std::uint32_t value;
            std::memcpy(&value, at, 4);
            return value;
        }
        default:
            return 0;
    }
}

// The accessor, which must have one of the types (TINYGLTF_TYPE_*) and one of the component
// types; integer components other than indices must be normalized when `normalizedOnly`.
Result<AccessorView> ViewAccessor(const tinygltf::Model& model, int accessor,
                                  std::initializer_list<int> types,
                                  std::initializer_list<int> componentTypes, bool normalizedOnly);

// The bytes of a buffer view, checked against its buffer.
Result<std::span<const unsigned char>> BufferViewBytes(const tinygltf::Model& model, int view);

}  // namespace gfx::gltffile

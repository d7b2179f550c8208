#pragma once
// The elements of a glTF accessor, every reference and byte range checked before a byte is
// read (tinygltf checks neither).

#include <tiny_gltf.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "gfx/base/result.h"

namespace gfx::gltffile {

class AccessorView {
  public:
    std::size_t Count() const { return count_; }
    int Components() const { return components_; }
    // Component c of element i as a float; normalized integers in 0 to 1.
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

// The accessor, which must have one of the types (TINYGLTF_TYPE_*) and one of the component
// types; integer components other than indices must be normalized when `normalizedOnly`.
Result<AccessorView> ViewAccessor(const tinygltf::Model& model, int accessor,
                                  std::initializer_list<int> types,
                                  std::initializer_list<int> componentTypes, bool normalizedOnly);

// The bytes of a buffer view, checked against its buffer.
Result<std::span<const unsigned char>> BufferViewBytes(const tinygltf::Model& model, int view);

}  // namespace gfx::gltffile

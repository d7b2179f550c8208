#include "gfx/gltffile/gltf_accessor.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace gfx::gltffile {

namespace {

std::size_t ComponentBytes(int componentType) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_INT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

int ComponentsOf(int type) {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR:
            return 1;
        case TINYGLTF_TYPE_VEC2:
        case TINYGLTF_TYPE_VEC3:
        case TINYGLTF_TYPE_VEC4:
            return type;
        default:
            return 0;
    }
}

bool OneOf(int value, std::initializer_list<int> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

}  // namespace

Result<std::span<const unsigned char>> BufferViewBytes(const tinygltf::Model& model, int view) {
    if (view < 0 || std::size_t(view) >= model.bufferViews.size()) {
        return Error{"buffer view " + std::to_string(view) + " does not exist"};
    }
    const tinygltf::BufferView& v = model.bufferViews[std::size_t(view)];
    if (v.buffer < 0 || std::size_t(v.buffer) >= model.buffers.size()) {
        return Error{"buffer view " + std::to_string(view) + " names buffer " +
                     std::to_string(v.buffer) + ", which does not exist"};
    }
    const std::vector<unsigned char>& data = model.buffers[std::size_t(v.buffer)].data;
    if (v.byteOffset > data.size() || v.byteLength > data.size() - v.byteOffset) {
        return Error{"buffer view " + std::to_string(view) + " reaches past the " +
                     std::to_string(data.size()) + " bytes of buffer " + std::to_string(v.buffer)};
    }
    return std::span<const unsigned char>(data.data() + v.byteOffset, v.byteLength);
}

Result<AccessorView> ViewAccessor(const tinygltf::Model& model, int accessor,
                                  std::initializer_list<int> types,
                                  std::initializer_list<int> componentTypes, bool normalizedOnly) {
    const std::string label = "accessor " + std::to_string(accessor);
    if (accessor < 0 || std::size_t(accessor) >= model.accessors.size()) {
        return Error{label + " does not exist"};
    }
    const tinygltf::Accessor& a = model.accessors[std::size_t(accessor)];
    if (a.sparse.isSparse) return Error{label + " is sparse, which is not supported"};
    if (!OneOf(a.type, types) || !OneOf(a.componentType, componentTypes) ||
        (normalizedOnly && a.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT && !a.normalized)) {
        return Error{label + " has a type this attribute cannot have"};
    }
    if (a.bufferView < 0) return Error{label + " has no buffer view"};
    auto bytes = BufferViewBytes(model, a.bufferView);
    if (!bytes) return Error{label + ": " + bytes.error()};

    AccessorView view;
    view.components_ = ComponentsOf(a.type);
    view.componentType_ = a.componentType;
    view.normalized_ = a.normalized;
    view.count_ = a.count;
    const std::size_t element = ComponentBytes(a.componentType) * std::size_t(view.components_);
    const std::size_t declared = model.bufferViews[std::size_t(a.bufferView)].byteStride;
    view.stride_ = declared != 0 ? declared : element;
    if (view.stride_ < element) {
        return Error{label + ": its buffer view's stride of " + std::to_string(declared) +
                     " bytes is shorter than an element"};
    }
    // The last element must end inside the view; no product is formed before the count is
    // known to fit.
    const std::size_t length = bytes->size();
    const bool fits =
        a.count == 0 || (a.byteOffset <= length && element <= length - a.byteOffset &&
                         a.count - 1 <= (length - a.byteOffset - element) / view.stride_);
    if (!fits) {
        return Error{label + " reaches past the " + std::to_string(length) +
                     " bytes of buffer view " + std::to_string(a.bufferView)};
    }
    view.data_ = bytes->data() + a.byteOffset;
    return view;
}

}  // namespace gfx::gltffile

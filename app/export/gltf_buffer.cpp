#include "app/export/gltf_buffer.h"

#include <algorithm>

namespace app {

namespace {

template <typename T>
std::span<const std::uint8_t> Bytes(std::span<const T> values) {
    return {reinterpret_cast<const std::uint8_t*>(values.data()), values.size_bytes()};
}

}  // namespace

GltfBuffer::GltfBuffer(tinygltf::Model& gltf) : gltf_(gltf) {
    if (gltf_.buffers.empty()) gltf_.buffers.emplace_back();
}

int GltfBuffer::AddView(std::span<const std::uint8_t> bytes, int target) {
    std::vector<unsigned char>& data = gltf_.buffers[0].data;
    data.resize((data.size() + 3) / 4 * 4, 0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = bytes.size();
    view.target = target;
    data.insert(data.end(), bytes.begin(), bytes.end());
    gltf_.bufferViews.push_back(view);
    return static_cast<int>(gltf_.bufferViews.size() - 1);
}

int GltfBuffer::AddAccessor(std::span<const std::uint8_t> bytes, int target, int componentType,
                            std::size_t count, int type) {
    tinygltf::Accessor accessor;
    accessor.bufferView = AddView(bytes, target);
    accessor.componentType = componentType;
    accessor.count = count;
    accessor.type = type;
    gltf_.accessors.push_back(accessor);
    return static_cast<int>(gltf_.accessors.size() - 1);
}

int GltfBuffer::AddVec3(std::span<const gfx::Vec3> values, Use use) {
    const int target = use == Use::kAnimation ? 0 : TINYGLTF_TARGET_ARRAY_BUFFER;
    const int index = AddAccessor(Bytes(values), target, TINYGLTF_COMPONENT_TYPE_FLOAT,
                                  values.size(), TINYGLTF_TYPE_VEC3);
    if (use == Use::kPosition && !values.empty()) {
        gfx::Vec3 low = values[0], high = values[0];
        for (const gfx::Vec3& v : values) {
            low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
            high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
        }
        gltf_.accessors[index].minValues = {low.x, low.y, low.z};
        gltf_.accessors[index].maxValues = {high.x, high.y, high.z};
    }
    return index;
}

int GltfBuffer::AddVec2(std::span<const gfx::Vec2> values) {
    return AddAccessor(Bytes(values), TINYGLTF_TARGET_ARRAY_BUFFER, TINYGLTF_COMPONENT_TYPE_FLOAT,
                       values.size(), TINYGLTF_TYPE_VEC2);
}

int GltfBuffer::AddQuat(std::span<const gfx::Quat> values) {
    return AddAccessor(Bytes(values), 0, TINYGLTF_COMPONENT_TYPE_FLOAT, values.size(),
                       TINYGLTF_TYPE_VEC4);
}

int GltfBuffer::AddScalars(std::span<const float> values) {
    const int index = AddAccessor(Bytes(values), 0, TINYGLTF_COMPONENT_TYPE_FLOAT, values.size(),
                                  TINYGLTF_TYPE_SCALAR);
    if (!values.empty()) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        gltf_.accessors[index].minValues = {*low};
        gltf_.accessors[index].maxValues = {*high};
    }
    return index;
}

int GltfBuffer::AddIndices(std::span<const std::uint16_t> values) {
    return AddAccessor(Bytes(values), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER,
                       TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, values.size(), TINYGLTF_TYPE_SCALAR);
}

}  // namespace app

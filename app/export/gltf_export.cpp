#include "app/export/gltf_export.h"

#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/export/gltf_buffer.h"
#include "app/export/gltf_mesh.h"
#include "app/export/gltf_pose.h"
#include "framework/display_text.h"
#include "gfx/math/math.h"

namespace app {

namespace {

bool Finite(gfx::Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Finite(gfx::Quat q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

// Rotations glTF can take: unit length. A zero quaternion turns nothing in the editor's matrix.
// Nothing when the quaternion is no finite number or its length overflows.
std::optional<gfx::Quat> UnitRotation(gfx::Quat q) {
    const float lengthSquared = gfx::QuaternionDot(q, q);
    if (!std::isfinite(lengthSquared)) return std::nullopt;
    if (lengthSquared == 0.0f) return gfx::Quat{};
    const gfx::Quat unit = gfx::QuaternionNormalize(q);
    if (!Finite(unit)) return std::nullopt;
    return unit;
}

// The refusal of a pose glTF cannot hold; `where` is "default pose" or "key N".
gfx::Error NotFinite(std::string_view part, const std::string& where, const char* what) {
    return gfx::Error{"part \"" + framework::DisplayText(part) + "\", " + where + ": the " + what +
                      " does not give finite numbers (its values are too large)"};
}

gfx::Status AddNode(const editing::Model& model, int i, int mesh, tinygltf::Model& gltf) {
    const model::PartTable& parts = model.parts;
    const NodeTransform pose = CurrentTransform(model.scene.node[i]);
    // The rotation first: one that overflows spoils the node's position row too.
    const std::optional<gfx::Quat> unit = UnitRotation(pose.rotation);
    if (!unit) return NotFinite(parts.Name(i), "default pose", "rotation");
    const gfx::Vec3 t = MirrorZ(pose.translation);
    if (!Finite(t)) return NotFinite(parts.Name(i), "default pose", "position");
    if (!std::isfinite(pose.scale)) return NotFinite(parts.Name(i), "default pose", "scale");
    const gfx::Quat r = MirrorZ(*unit);
    tinygltf::Node node;
    node.name = framework::DisplayText(parts.Name(i));
    node.mesh = mesh;
    node.translation = {t.x, t.y, t.z};
    node.rotation = {r.x, r.y, r.z, r.w};
    if (pose.scale != 1.0f) node.scale = {pose.scale, pose.scale, pose.scale};
    gltf.nodes.push_back(std::move(node));
    return {};
}

void AddSampledChannel(tinygltf::Animation& animation, int input, int output, int node,
                       const char* path) {
    tinygltf::AnimationSampler sampler;
    sampler.input = input;
    sampler.output = output;
    sampler.interpolation = "LINEAR";
    animation.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(animation.samplers.size() - 1);
    channel.target_node = node;
    channel.target_path = path;
    animation.channels.push_back(channel);
}

// Translation and rotation of every part at each loop sample. Each rotation is taken on the
// side of the previous sample's hemisphere, so that interpolating readers turn the short way,
// as playback's slerp does.
// Refuses, naming the part and the key (counted from 1), a pose that is no finite number.
gfx::Status AddLoopAnimation(const editing::Model& model, GltfBuffer& buffer,
                             tinygltf::Model& gltf) {
    const std::vector<LoopSample> samples = LoopSamples(model.animation);
    if (samples.empty()) return {};
    std::vector<float> times;
    for (const LoopSample& sample : samples) {
        times.push_back(static_cast<float>(sample.frame) / kGltfFramesPerSecond);
    }
    tinygltf::Animation animation;
    animation.name = "loop";
    const int input = buffer.AddScalars(times);
    for (int i = 0; i < model.parts.count; ++i) {
        std::vector<gfx::Vec3> translations;
        std::vector<gfx::Quat> rotations;
        for (const LoopSample& sample : samples) {
            const std::string key = "key " + std::to_string(sample.key + 1);
            const gfx::Vec3 t =
                MirrorZ(KeyTranslation(model.scene, model.animation, i, sample.key));
            if (!Finite(t)) return NotFinite(model.parts.Name(i), key, "position");
            const std::optional<gfx::Quat> unit =
                UnitRotation(model.animation.keyOrientation[sample.key][i]);
            if (!unit) return NotFinite(model.parts.Name(i), key, "rotation");
            translations.push_back(t);
            gfx::Quat q = MirrorZ(*unit);
            if (!rotations.empty() && gfx::QuaternionDot(rotations.back(), q) < 0.0f) {
                q = {-q.x, -q.y, -q.z, -q.w};
            }
            rotations.push_back(q);
        }
        AddSampledChannel(animation, input,
                          buffer.AddVec3(translations, GltfBuffer::Use::kAnimation), i,
                          "translation");
        AddSampledChannel(animation, input, buffer.AddQuat(rotations), i, "rotation");
    }
    gltf.animations.push_back(std::move(animation));
    return {};
}

gfx::Result<GltfAsset> Build(const editing::Model& model, GltfImages images,
                             const std::string& baseName) {
    const model::PartTable& parts = model.parts;
    if (parts.count <= 0) return gfx::Error{"the model has no parts"};
    GltfAsset asset;
    tinygltf::Model& gltf = asset.gltf;
    gltf.asset.version = "2.0";
    gltf.asset.generator = "Posewrighter 1.02";
    GltfBuffer buffer(gltf);
    GltfTextures textures(asset, images, baseName);
    for (int i = 0; i < parts.count; ++i) {
        const gfx::Result<int> mesh =
            AddPartMesh(model.scene.mesh[i], parts.Name(i), buffer, textures, asset);
        if (!mesh) return gfx::Error{mesh.error()};
        if (const gfx::Status added = AddNode(model, i, *mesh, gltf); !added) {
            return gfx::Error{added.error()};
        }
    }
    for (int i = 1; i < parts.count; ++i) {
        // Parents come before their children in the table.
        if (parts.parent[i] < 0 || parts.parent[i] >= i) {
            return gfx::Error{"part \"" + framework::DisplayText(parts.Name(i)) +
                              "\" has no parent before it"};
        }
        gltf.nodes[parts.parent[i]].children.push_back(i);
    }
    tinygltf::Scene scene;
    scene.nodes = {0};
    gltf.scenes.push_back(scene);
    gltf.defaultScene = 0;
    if (const gfx::Status animated = AddLoopAnimation(model, buffer, gltf); !animated) {
        return gfx::Error{animated.error()};
    }
    if (gltf.buffers[0].data.empty()) {
        gltf.buffers.clear();  // glTF has no empty buffers
    } else if (images == GltfImages::kFiles) {
        gltf.buffers[0].uri = baseName + ".bin";
    }
    return asset;
}

}  // namespace

gfx::Result<GltfAsset> BuildGltfAsset(const editing::Model& model, GltfImages images,
                                      const std::string& baseName) {
    // tinygltf's containers may throw (memory); nothing leaves this module as an exception.
    try {
        return Build(model, images, baseName);
    } catch (const std::exception& e) {
        return gfx::Error{std::string("the glTF asset cannot be built: ") + e.what()};
    }
}

}  // namespace app

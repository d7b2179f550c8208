#include "app/gltf_export.h"

#include <exception>
#include <utility>

#include "app/gltf_buffer.h"
#include "app/gltf_mesh.h"
#include "app/gltf_pose.h"
#include "gfx/math.h"

namespace app {

namespace {

// Rotations glTF can take: unit length. A zero quaternion turns nothing in the editor's matrix.
gfx::Quat UnitRotation(gfx::Quat q) {
    if (gfx::QuaternionDot(q, q) == 0.0f) return {};
    return gfx::QuaternionNormalize(q);
}

void AddNode(const model::PartTable& parts, int i, int mesh, tinygltf::Model& gltf) {
    const NodeTransform pose = CurrentTransform(parts.node[i]);
    const gfx::Vec3 t = MirrorZ(pose.translation);
    const gfx::Quat r = MirrorZ(UnitRotation(pose.rotation));
    tinygltf::Node node;
    node.name = ValidUtf8(parts.Name(i));
    node.mesh = mesh;
    node.translation = {t.x, t.y, t.z};
    node.rotation = {r.x, r.y, r.z, r.w};
    if (pose.scale != 1.0f) node.scale = {pose.scale, pose.scale, pose.scale};
    gltf.nodes.push_back(std::move(node));
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
void AddLoopAnimation(const model::Model& model, GltfBuffer& buffer, tinygltf::Model& gltf) {
    const std::vector<LoopSample> samples = LoopSamples(model.animation);
    if (samples.empty()) return;
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
            translations.push_back(
                MirrorZ(KeyTranslation(model.parts, model.animation, i, sample.key)));
            gfx::Quat q = MirrorZ(UnitRotation(model.animation.keyOrientation[sample.key][i]));
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
}

gfx::Result<GltfAsset> Build(const model::Model& model, GltfImages images,
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
            AddPartMesh(parts.mesh[i], parts.Name(i), buffer, textures, asset);
        if (!mesh) return gfx::Error{mesh.error()};
        AddNode(parts, i, *mesh, gltf);
    }
    for (int i = 1; i < parts.count; ++i) {
        // Parents come before their children in the table.
        if (parts.parent[i] < 0 || parts.parent[i] >= i) {
            return gfx::Error{"part \"" + std::string(parts.Name(i)) +
                              "\" has no parent before it"};
        }
        gltf.nodes[parts.parent[i]].children.push_back(i);
    }
    tinygltf::Scene scene;
    scene.nodes = {0};
    gltf.scenes.push_back(scene);
    gltf.defaultScene = 0;
    AddLoopAnimation(model, buffer, gltf);
    if (gltf.buffers[0].data.empty()) {
        gltf.buffers.clear();  // glTF has no empty buffers
    } else if (images == GltfImages::kFiles) {
        gltf.buffers[0].uri = baseName + ".bin";
    }
    return asset;
}

}  // namespace

gfx::Result<GltfAsset> BuildGltfAsset(const model::Model& model, GltfImages images,
                                      const std::string& baseName) {
    // tinygltf's containers may throw (memory); nothing leaves this module as an exception.
    try {
        return Build(model, images, baseName);
    } catch (const std::exception& e) {
        return gfx::Error{std::string("the glTF asset cannot be built: ") + e.what()};
    }
}

}  // namespace app

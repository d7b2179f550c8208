#include "app/drawing/onion_skin.h"

#include <array>
#include <memory>
#include <utility>

#include "editing/key_poses.h"
#include "scene/mesh_object.h"

namespace app {

namespace {

using framework::RenderState;

bool InUse(const model::AnimationSet& animation, int keyNumber) {
    return keyNumber >= 1 && keyNumber <= animation.KeysInUse();
}

// Lit by the scene's light like the parts, with some glow of its own so that the side away
// from the light still shows the tint.
gfx::Material GhostMaterial(gfx::ColourValue tint) {
    gfx::Material material;
    material.diffuse = tint;
    material.ambient = {tint.r * 0.5f, tint.g * 0.5f, tint.b * 0.5f, tint.a};
    material.emissive = {tint.r * 0.3f, tint.g * 0.3f, tint.b * 0.3f, tint.a};
    return material;
}

// Copies of the live nodes, linked to each other as the originals are, posed as the key: the
// same orientation and position the Get of that key would give the live nodes.
using GhostNodes = std::array<scene::TransformNode, model::kMaxParts>;

void PoseGhost(GhostNodes& ghost, const editing::PartScene& partScene,
               const model::AnimationSet& animation, int keyNumber) {
    const scene::TransformNode* first = partScene.node.data();
    const scene::TransformNode* end = first + model::kMaxParts;
    for (std::size_t i = 0; i < ghost.size(); ++i) {
        ghost[i] = partScene.node[i];
        const scene::TransformNode* parent = partScene.node[i].parent;
        if (parent >= first && parent < end) ghost[i].parent = &ghost[parent - first];
    }
    editing::FetchKey(animation, keyNumber, ghost);
}

void DrawGhost(framework::GraphicsDevice& device, const model::PartTable& parts,
               const PanelValues& panels, const GhostNodes& ghost, gfx::ColourValue tint) {
    const gfx::Material material = GhostMaterial(tint);
    for (int i = 0; i < parts.count && i < model::kMaxParts; ++i) {
        const scene::TransformNode& node = ghost[static_cast<std::size_t>(i)];
        if (!panels.IsPartVisible(i) || node.mesh == nullptr || node.bound != 1) continue;
        node.mesh->DrawInMaterial(device, node.WorldMatrix(), material);
    }
}

}  // namespace

OnionKeys OnionKeysBeside(const model::AnimationSet& animation, int shownKey) {
    OnionKeys keys;
    if (InUse(animation, shownKey - 1)) keys.before = shownKey - 1;
    if (InUse(animation, shownKey + 1)) keys.after = shownKey + 1;
    return keys;
}

OnionKeys OnionKeysToShow(const model::AnimationSet& animation, const PanelValues& panels,
                          const EditorState& state) {
    if (!panels.onionTicked || state.Playing) return {};
    return OnionKeysBeside(animation, state.ShownKey);
}

void DrawOnionSkin(framework::GraphicsDevice& device, const model::PartTable& parts,
                   const editing::PartScene& partScene, const PanelValues& panels,
                   const model::AnimationSet& animation, OnionKeys keys) {
    if (!keys.any()) return;
    device.SetRenderState(RenderState::kZEnable, 1);
    device.SetRenderState(RenderState::kZWriteEnable, 0);
    device.SetRenderState(RenderState::kLighting, 1);
    device.SetRenderState(RenderState::kAlphaBlendEnable, 1);
    device.SetRenderState(RenderState::kSrcBlend, framework::kBlendSrcAlpha);
    device.SetRenderState(RenderState::kDestBlend, framework::kBlendInvSrcAlpha);
    // On the heap: a hundred nodes are too large a frame for the stack to carry lightly.
    const auto ghost = std::make_unique<GhostNodes>();
    for (const auto& [key, tint] :
         {std::pair{keys.before, kOnionBeforeTint}, std::pair{keys.after, kOnionAfterTint}}) {
        if (key < 1 || key > model::kMaxKeys) continue;
        PoseGhost(*ghost, partScene, animation, key);
        DrawGhost(device, parts, panels, *ghost, tint);
    }
}

}  // namespace app

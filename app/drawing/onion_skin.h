#pragma once
// The onion skin: the whole model posed as the key before and as the key after the shown one,
// drawn as faint tinted ghosts behind the live model while playback is off. Only keys in use
// (the leading run of keys with frames, the ones playback visits) are shown: a key past that run
// was never set, or is left out of playback by a gap, and would only show a heap of parts at
// their parents' origins.

#include "app/core/editor_state.h"
#include "app/core/tool_panels.h"
#include "editing/part_scene.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"
#include "model/animation_set.h"
#include "model/part_table.h"

namespace app {

// Key numbers (1 .. 16) of the ghosts; 0 = none.
struct OnionKeys {
    int before = 0;
    int after = 0;
    bool any() const { return before != 0 || after != 0; }
    friend bool operator==(const OnionKeys&, const OnionKeys&) = default;
};

// The previous key is blue, the next one red, both at 30 % opacity.
inline constexpr gfx::ColourValue kOnionBeforeTint{0.35f, 0.6f, 1.0f, 0.3f};
inline constexpr gfx::ColourValue kOnionAfterTint{1.0f, 0.4f, 0.3f, 0.3f};

// The keys in use beside `shownKey`. Standing just past the last key in use (where the next key
// is being made), that last key is the one before.
OnionKeys OnionKeysBeside(const model::AnimationSet& animation, int shownKey);

// The ghosts the view shows now: those beside the shown key while the box is ticked and nothing
// plays; none otherwise.
OnionKeys OnionKeysToShow(const model::AnimationSet& animation, const PanelValues& panels,
                          const EditorState& state);

// Draws the visible parts in the poses of the ghosts' keys, tinted and blended, with depth test
// but without depth writes, so that whatever is drawn next covers them. The live nodes are left
// as they are: each ghost poses copies of them. Leaves blending on and depth writes off.
void DrawOnionSkin(framework::GraphicsDevice& device, const model::PartTable& parts,
                   const editing::PartScene& partScene, const PanelValues& panels,
                   const model::AnimationSet& animation, OnionKeys keys);

}  // namespace app

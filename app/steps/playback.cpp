#include "app/steps/playback.h"

#include "gfx/math/math.h"

namespace app {

namespace {

void CaptureStartPose(EditorState& state, const editing::PartScene& scene) {
    for (int i = 0; i < model::kMaxParts; ++i) {
        state.PlayFromRotation[i] = scene.node[i].GetOrientation();
        state.PlayFromPosition[i] = scene.node[i].GetPosition();
    }
}

void BeginKey(Session& session, int key) {
    session.editor.PlayKey = static_cast<std::int16_t>(key);
    session.editor.PlayTick = 0;
    CaptureStartPose(session.editor, session.model.scene);
    session.panelObserver().KeyShown(key + 1);
}

}  // namespace

void PlayAnimation(Session& session) {
    EditorState& state = session.editor;
    const model::AnimationSet& animation = session.model.animation;
    if (!session.panels.playTicked) {
        state.PlayKey = -1;
        state.PlayTick = 0;
        return;
    }
    if (state.PlayKey < 0 || state.PlayKey >= model::kMaxKeys) {
        if (animation.frameCount[0] > 0) BeginKey(session, 0);
        return;
    }

    ++state.PlayTick;
    if (state.PlayTick > animation.frameCount[state.PlayKey]) {
        int next = state.PlayKey + 1;
        if (next == model::kMaxKeys || animation.frameCount[next] == 0) next = 0;
        BeginKey(session, next);
    }
    const int frames = animation.frameCount[state.PlayKey];
    if (frames == 0) {
        // Key 0 lost its frames while playing: wait, as at the start, until it has some again.
        state.PlayKey = -1;
        state.PlayTick = 0;
        return;
    }
    const float t = static_cast<float>(state.PlayTick) / static_cast<float>(frames);
    const float s = 1.0f - t;
    editing::PartScene& scene = session.model.scene;
    for (int i = 0; i < model::kMaxParts; ++i) {
        scene.node[i].SetOrientation(gfx::QuaternionSlerp(
            state.PlayFromRotation[i], animation.keyOrientation[state.PlayKey][i], t));
        scene.node[i].SetPosition(s * state.PlayFromPosition[i] +
                                  t * animation.keyPosition[state.PlayKey][i]);
    }
}

}  // namespace app

#pragma once
// Keyframe playback, counted in frames of the main loop. While Play is on, every part slot is
// blended from the pose it had when a key began to that key's stored pose over the key's frame
// count (orientations spherically, positions linearly), then the next key begins from where the
// parts are; after the last key in use (the one before the first with no frames, or key 16)
// playback goes back to key 0. A key with n frames is reached n frames after it began and held for
// one more, the frame in which the next key begins.

#include "app/core/session.h"

namespace app {

// Frame step 3, every frame. Play off stops playback (PlayKey -1) and leaves the parts as they
// are; on, playback starts at key 0 as soon as key 0 has frames. Each key that begins captures
// the start pose of all 100 slots and becomes the key shown (AnnounceShownKey with the key's
// number, 1 .. 16).
void PlayAnimation(Session& session);

}  // namespace app

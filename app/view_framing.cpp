#include "app/view_framing.h"

#include "scene/draw_primitives.h"

namespace app {

void FrameView(framework::ViewTransforms& transforms, const scene::TransformNode* node) {
    gfx::Vec3 centre{0.0f, 1.0f, 0.0f};
    float radius = 2.0f;
    if (node != nullptr) {
        const scene::Sphere sphere = node->BoundingSphere();
        centre = sphere.centre;
        radius = sphere.radius;
    }
    scene::SetView(transforms, {0.0f, centre.y + 0.5f * radius, 4.0f * radius}, centre,
                   {0.0f, 1.0f, 0.0f});
}

}  // namespace app
